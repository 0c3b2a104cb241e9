// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueText.h"

#include "catalogue/StationRow.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <stdexcept>

namespace CatalogueText {
namespace {

[[noreturn]] void fail(qsizetype line, const QString& reason) {
    throw std::runtime_error(QStringLiteral("line %1: %2").arg(line).arg(reason).toStdString());
}

void appendJsonString(QByteArray& out, const QString& text) {
    out.append('"');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
            case '"':
                out.append("\\\"");
                break;
            case '\\':
                out.append("\\\\");
                break;
            case '\n':
                out.append("\\n");
                break;
            case '\r':
                out.append("\\r");
                break;
            case '\t':
                out.append("\\t");
                break;
            default:
                if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                    out.append(text.mid(i, 2).toUtf8());
                    ++i;
                } else if (c.unicode() < 0x20 || c.isSurrogate()) {
                    // Control characters and a lone half of a pair have no UTF-8 form of their own.
                    out.append(QStringLiteral("\\u%1")
                                   .arg(c.unicode(), 4, 16, QLatin1Char('0'))
                                   .toLatin1());
                } else {
                    out.append(QString(c).toUtf8());
                }
        }
    }
    out.append('"');
}

QString rawNumber(double v) {
    return QString::number(v, 'g', 17);
}

// A row under construction, checked against the station fields.
class RowBuilder {
  public:
    explicit RowBuilder(qsizetype line) : line_(line) {}

    void setText(Field f, const QString& text) {
        const int max = fieldSpec(f).maxChars;
        if (text.size() > max)
            fail(line_, QStringLiteral("%1 is %2 characters, more than its %3")
                            .arg(fieldName(f))
                            .arg(text.size())
                            .arg(max));
        row_.setText(f, text);
    }
    void setFromText(Field f, const QString& text) {
        if (text.isEmpty())
            return;  // null
        switch (fieldSpec(f).typeWord) {
            case FieldDescriptor::kWideString:
                setText(f, text);
                break;
            case FieldDescriptor::kDateTime: {
                CdsDateTime value;
                if (!parseDateTime(text, &value))
                    fail(line_,
                         QStringLiteral("%1 is not a date-time: %2").arg(fieldName(f), text));
                row_.setDateTime(f, value);
                break;
            }
            default: {
                bool ok = false;
                const qint32 v = text.toInt(&ok);
                if (!ok)
                    fail(line_, QStringLiteral("%1 is not an integer: %2").arg(fieldName(f), text));
                row_.setInteger(f, v);
            }
        }
    }
    void setFromJson(Field f, const QJsonValue& v) {
        if (v.isNull())
            return;
        const quint16 type = fieldSpec(f).typeWord;
        if (v.isString()) {
            if (type == FieldDescriptor::kInt32)
                fail(line_, QStringLiteral("%1 must be a number").arg(fieldName(f)));
            setFromText(f, v.toString());
        } else if (v.isDouble() && type == FieldDescriptor::kDateTime) {
            row_.setDateTime(f, CdsDateTime{v.toDouble()});
        } else if (v.isDouble() && type == FieldDescriptor::kInt32) {
            const double d = v.toDouble();
            if (d != std::floor(d) || d < INT32_MIN || d > INT32_MAX)
                fail(line_, QStringLiteral("%1 is not a 32-bit integer").arg(fieldName(f)));
            row_.setInteger(f, qint32(d));
        } else {
            fail(line_, QStringLiteral("%1 has a value of the wrong kind").arg(fieldName(f)));
        }
    }
    void appendTo(CataloguePacket& packet) const {
        packet.values.insert(packet.values.end(), row_.values.begin(), row_.values.end());
    }

  private:
    qsizetype line_;
    StationRow row_;
};

Field requireField(qsizetype line, const QString& name) {
    const auto f = fieldByName(name);
    if (!f)
        fail(line, QStringLiteral("unknown field %1").arg(name));
    return *f;
}

// Splits RFC 4180 CSV into records of cells; quoted cells may hold commas, quotes and newlines.
std::vector<std::pair<qsizetype, QStringList>> parseCsv(const QString& text) {
    std::vector<std::pair<qsizetype, QStringList>> records;
    QStringList cells;
    QString cell;
    bool quoted = false, cellStarted = false;
    qsizetype line = 1, recordLine = 1;
    const auto endCell = [&] {
        cells.append(cell);
        cell.clear();
        cellStarted = false;
    };
    const auto endRecord = [&] {
        endCell();
        if (!(cells.size() == 1 && cells[0].isEmpty()))
            records.emplace_back(recordLine, cells);
        cells.clear();
        recordLine = line;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                cell += c;
            }
        } else if (c == u'"' && !cellStarted) {
            quoted = cellStarted = true;
        } else if (c == u',') {
            endCell();
        } else if (c == u'\n') {
            ++line;
            endRecord();
        } else if (c != u'\r') {
            cell += c;
            cellStarted = true;
        }
    }
    if (quoted)
        fail(recordLine, QStringLiteral("quoted cell is not closed"));
    endRecord();
    return records;
}

CataloguePacket emptyStationPacket() {
    CataloguePacket packet;
    packet.fields = stationDescriptors();
    return packet;
}

}  // namespace

QString formatDateTime(CdsDateTime value) {
    const QDate date = value.date();
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return {};
    if (CdsDateTime::fromDateTime(date, value.time()).msecs != value.msecs)
        return {};
    return date.toString(QStringLiteral("yyyy-MM-dd")) + u'T' +
           value.time().toString(QStringLiteral("HH:mm:ss.zzz"));
}

bool parseDateTime(const QString& text, CdsDateTime* value) {
    const qsizetype t = text.indexOf(u'T');
    if (t < 0)
        return false;
    const QDate date = QDate::fromString(text.left(t), QStringLiteral("yyyy-MM-dd"));
    QTime time = QTime::fromString(text.mid(t + 1), QStringLiteral("HH:mm:ss.zzz"));
    if (!time.isValid())
        time = QTime::fromString(text.mid(t + 1), QStringLiteral("HH:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return false;
    *value = CdsDateTime::fromDateTime(date, time);
    return true;
}

QByteArray toJsonLines(const CataloguePacket& packet) {
    QByteArray out;
    const size_t fields = packet.fields.size();
    for (size_t r = 0; r < packet.rowCount(); ++r) {
        out.append('{');
        for (size_t f = 0; f < fields; ++f) {
            if (f)
                out.append(',');
            appendJsonString(out, packet.fields[f].name);
            out.append(':');
            const FieldValue& v = packet.at(r, f);
            if (const auto* text = std::get_if<QString>(&v)) {
                if (text->isEmpty())
                    out.append("null");
                else
                    appendJsonString(out, *text);
            } else if (const auto* dt = std::get_if<CdsDateTime>(&v)) {
                const QString formatted = formatDateTime(*dt);
                if (formatted.isEmpty())
                    out.append(rawNumber(dt->msecs).toLatin1());
                else
                    appendJsonString(out, formatted);
            } else if (const auto* i = std::get_if<qint32>(&v)) {
                out.append(QByteArray::number(*i));
            } else {
                out.append("null");
            }
        }
        out.append("}\n");
    }
    return out;
}

CataloguePacket fromJsonLines(const QByteArray& text) {
    CataloguePacket packet = emptyStationPacket();
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray line = lines[n].trimmed();
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        if (!doc.isObject())
            fail(n + 1, error.error == QJsonParseError::NoError ? QStringLiteral("not an object")
                                                                : error.errorString());
        RowBuilder row(n + 1);
        const QJsonObject object = doc.object();
        for (auto it = object.begin(); it != object.end(); ++it)
            row.setFromJson(requireField(n + 1, it.key()), it.value());
        row.appendTo(packet);
    }
    return packet;
}

CataloguePacket fromCsv(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(u'\uFEFF'))
        text.remove(0, 1);
    const auto records = parseCsv(text);
    CataloguePacket packet = emptyStationPacket();
    if (records.empty())
        return packet;
    std::vector<Field> columns;
    for (const QString& name : records.front().second)
        columns.push_back(requireField(records.front().first, name.trimmed()));
    for (size_t r = 1; r < records.size(); ++r) {
        const auto& [line, cells] = records[r];
        if (size_t(cells.size()) != columns.size())
            fail(line, QStringLiteral("%1 cells, the header has %2")
                           .arg(cells.size())
                           .arg(columns.size()));
        RowBuilder row(line);
        for (size_t c = 0; c < columns.size(); ++c)
            row.setFromText(columns[c], cells[qsizetype(c)]);
        row.appendTo(packet);
    }
    return packet;
}

}  // namespace CatalogueText
