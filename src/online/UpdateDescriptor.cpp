// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/UpdateDescriptor.h"

std::optional<UpdateDescriptor> UpdateDescriptor::parse(const QByteArray& text) {
    UpdateDescriptor descriptor;
    // Qt drops text that is only whitespace while parsing: it is no node here.
    if (!descriptor.document_.setContent(text))
        return std::nullopt;
    return descriptor;
}

std::optional<QString> UpdateDescriptor::value(int child) const {
    QDomNode node = document_.documentElement().firstChild();
    for (int i = 0; i < child && !node.isNull(); ++i)
        node = node.nextSibling();
    if (node.isNull())
        return std::nullopt;
    const QDomNode first = node.firstChild();
    if (first.isNull())
        return std::nullopt;
    if (first.isText() || first.isCDATASection())
        return first.toCharacterData().data();
    return first.toElement().text();
}

std::optional<qint64> UpdateDescriptor::number(int child) const {
    const std::optional<QString> text = value(child);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const qint64 n = text->trimmed().toLongLong(&ok);
    return ok ? std::optional(n) : std::nullopt;
}
