// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CataloguePacket.h"

#include <QByteArray>
#include <QString>

// Text forms of a catalogue: JSON Lines (one object per row, keys = field names in file order)
// and CSV with a header row of field names. Date-times read "YYYY-MM-DDTHH:MM:SS.mmm"; a value
// that this form cannot carry exactly is written as its stored number of milliseconds.
namespace CatalogueText {

QByteArray toJsonLines(const CataloguePacket& packet);

// Both build the twelve station fields; a field a row does not name is null. Throws
// std::runtime_error with the line and the reason for anything it cannot take.
CataloguePacket fromJsonLines(const QByteArray& text);
CataloguePacket fromCsv(const QByteArray& text);

QString formatDateTime(CdsDateTime value);  // empty when the text form cannot carry it exactly
bool parseDateTime(const QString& text, CdsDateTime* value);

}  // namespace CatalogueText
