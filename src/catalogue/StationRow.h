// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/CatalogueFormat.h"

#include <array>
#include <optional>

// The twelve fields of a catalogue row, in file order.
enum class Field : int {
    stationName,
    country,
    category,
    bitRate,
    startTime,
    endTime,
    favourite,
    streamUrl,
    planType,
    finishAction,
    period,
    intervalSeconds,
};
inline constexpr int kFieldCount = 12;

struct FieldSpec {
    const char16_t* name;  // the field's name in the file and in filter texts
    quint16 typeWord;
    int maxChars;  // texts only
};

const FieldSpec& fieldSpec(Field f);
QString fieldName(Field f);
// The field with that name, or nothing.
std::optional<Field> fieldByName(const QString& name);
// The descriptors of the station table, in file order, as the writer produces them.
const std::vector<FieldDescriptor>& stationDescriptors();

// Cuts a text to at most maxChars UTF-16 units without splitting a surrogate pair.
QString cutToWidth(const QString& text, int maxChars);
// The length such a cut keeps.
qsizetype widthCut(QStringView text, int maxChars);

// One station (and, when planType is set, its task). Null and empty text are one value.
struct StationRow {
    std::array<FieldValue, kFieldCount> values;

    // Text of a text field; null reads as empty.
    QString text(Field f) const;
    QStringView textView(Field f) const;
    std::optional<CdsDateTime> dateTime(Field f) const;
    std::optional<qint32> integer(Field f) const;

    // Setters keep values within the field's width; an empty text becomes null.
    void setText(Field f, const QString& text);
    void setDateTime(Field f, std::optional<CdsDateTime> value);
    void setInteger(Field f, std::optional<qint32> value);

    bool isTask() const { return !text(Field::planType).isEmpty(); }

    static StationRow station(const QString& name, const QString& country, const QString& category,
                              const QString& bitRate, const QString& url);
};
