// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// An update descriptor ("update.xml", "updatedb.xml"): its values are found by position only,
// whatever the elements are called. Whitespace between elements does not count.
class UpdateDescriptor {
  public:
    // Nothing when the text is no XML document.
    static std::optional<UpdateDescriptor> parse(const QByteArray& text);

    // The text of the first node inside the root's child at this position (0 first), or nothing
    // when there is no such child or it is empty.
    std::optional<QString> value(int child) const;
    // The value read as a decimal number (blanks around it allowed), or nothing.
    std::optional<qint64> number(int child) const;

  private:
    QList<std::optional<QString>> values_;  // one per child node of the root
};
