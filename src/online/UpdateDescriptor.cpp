// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/UpdateDescriptor.h"

#include <QXmlStreamReader>

namespace {

// Text that counts as a node: whitespace alone between elements does not.
bool isTextNode(const QXmlStreamReader& xml) {
    return xml.isCharacters() && !xml.isWhitespace();
}

}  // namespace

std::optional<UpdateDescriptor> UpdateDescriptor::parse(const QByteArray& text) {
    UpdateDescriptor descriptor;
    QXmlStreamReader xml(text);
    // Depth 1 is the root element; its child nodes are the values. A child element's value is
    // its first node: that node's text, or all the text inside it when it is an element.
    int depth = 0;
    bool firstOfChild = false;  // the next node is the first inside a child element
    int textFrom = 0;           // while collecting the text of that first element: its depth
    QString collected;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                if (depth == 2) {
                    descriptor.values_.append(std::nullopt);
                    firstOfChild = true;
                } else if (depth == 3 && firstOfChild) {
                    firstOfChild = false;
                    textFrom = depth;
                    collected.clear();
                }
                break;
            case QXmlStreamReader::EndElement:
                if (textFrom != 0 && depth == textFrom) {
                    descriptor.values_.last() = collected;
                    textFrom = 0;
                }
                if (depth == 2)
                    firstOfChild = false;
                --depth;
                break;
            case QXmlStreamReader::Characters:
                if (!isTextNode(xml))
                    break;
                if (depth == 1) {
                    descriptor.values_.append(std::nullopt);  // text beside the elements
                } else if (depth == 2 && firstOfChild) {
                    descriptor.values_.last() = xml.text().toString();
                    firstOfChild = false;
                } else if (textFrom != 0) {
                    collected += xml.text();
                }
                break;
            case QXmlStreamReader::Comment:
            case QXmlStreamReader::ProcessingInstruction:
                if (depth == 1) {
                    descriptor.values_.append(std::nullopt);
                } else if (depth == 2 && firstOfChild) {
                    descriptor.values_.last() = QString();  // a node without text
                    firstOfChild = false;
                }
                break;
            default:
                break;
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return descriptor;
}

std::optional<QString> UpdateDescriptor::value(int child) const {
    return child >= 0 && child < values_.size() ? values_[child] : std::nullopt;
}

std::optional<qint64> UpdateDescriptor::number(int child) const {
    const std::optional<QString> text = value(child);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const qint64 n = text->trimmed().toLongLong(&ok);
    return ok ? std::optional(n) : std::nullopt;
}
