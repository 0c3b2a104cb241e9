// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The binary table format of "rd.cds" and "update.cds": header, field descriptors, packet
// properties, then the rows, read and written row by row.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>

#include <cstdint>
#include <stdexcept>
#include <utility>
#include <variant>
#include <vector>

// A date-time as the catalogue stores it: milliseconds from 0001-01-01 00:00:00 plus one day,
// local time without a zone. Kept as the stored double so files round-trip bit for bit.
struct CdsDateTime {
    double msecs = 0;

    static constexpr double kMsecsPerDay = 86'400'000.0;

    static CdsDateTime fromDateTime(QDate date, QTime time);
    // The "zero day" 1899-12-30 plus a time of day: what a time picker without a date stores.
    static CdsDateTime fromTimeOfDay(QTime time);
    QDate date() const;  // invalid when the value lies outside QDate's range
    QTime time() const;  // whole milliseconds of the day
    bool operator==(const CdsDateTime&) const = default;
};

// A field value: null, a text, a date-time or a 32-bit integer.
using FieldValue = std::variant<std::monostate, QString, CdsDateTime, qint32>;

// A field value whose text lies in storage owned elsewhere (the file's bytes, a table's texts),
// so rows are read and written without a string per field. The text is UTF-16LE and, read from
// a file, need not be aligned for char16_t.
struct FieldRef {
    enum class Kind : quint8 { null, text, dateTime, integer };
    Kind kind = Kind::null;
    const char* text = nullptr;
    qsizetype textBytes = 0;
    double msecs = 0;
    qint32 integer = 0;

    static FieldRef ofText(QStringView t) {
        return {Kind::text, reinterpret_cast<const char*>(t.utf16()), t.size() * 2};
    }
    static FieldRef ofDateTime(double msecs) { return {Kind::dateTime, nullptr, 0, msecs}; }
    static FieldRef ofInteger(qint32 v) { return {Kind::integer, nullptr, 0, 0, v}; }
    static FieldRef of(const FieldValue& v);
    FieldValue toValue() const;
};

struct PacketProperty {
    QByteArray name;
    quint16 type = 0;
    QByteArray value;
    bool operator==(const PacketProperty&) const = default;
};

struct FieldDescriptor {
    static constexpr quint16 kWideString = 0x004A;
    static constexpr quint16 kDateTime = 0x0008;
    static constexpr quint16 kInt32 = 0x0001;

    QString name;
    quint16 valueWidth = 0;  // value size, or the size of a varying value's length prefix
    quint16 typeWord = 0;
    quint16 attributes = 0;
    std::vector<PacketProperty> properties;

    static FieldDescriptor wideString(const QString& name, int maxChars);
    static FieldDescriptor dateTime(const QString& name);
    static FieldDescriptor int32(const QString& name);

    // The "WIDTH" property (maximum text length in bytes), or 0 when the field has none.
    int widthBytes() const;
    bool operator==(const FieldDescriptor&) const = default;
};

// Thrown by the reader with a one-line reason, and by the writer for values it cannot encode.
class CatalogueFormatError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Refuses, with the reason, to keep rows costing bytesPerRow each beside the file's own bytes
// when together they would take more than four times the file plus a constant. A row may take
// as little as four bytes on disk, so a small damaged or hostile file can announce millions.
void requireFitsInMemory(size_t rowCount, size_t bytesPerRow, size_t fileBytes);

// Reads a catalogue file row by row, so a caller can fill its own rows without an interim copy.
// Every method throws CatalogueFormatError with a one-line reason; the constructor checks the
// header and descriptors, and caps the row count by what the bytes can hold.
class PacketReader {
  public:
    explicit PacketReader(const QByteArray& bytes);

    const std::vector<FieldDescriptor>& fields() const { return fields_; }
    const std::vector<PacketProperty>& packetProperties() const { return packetProperties_; }
    size_t rowCount() const { return rowCount_; }
    // Reads the next row into fields().size() values.
    void readRow(FieldValue* values);
    // The same without copying: texts point into the reader's bytes.
    void readRow(FieldRef* values);
    // Fails unless every row was read and nothing follows the last one.
    void finish() const;

  private:
    QByteArray bytes_;
    std::vector<FieldDescriptor> fields_;
    std::vector<PacketProperty> packetProperties_;
    size_t rowCount_ = 0;
    size_t rowsRead_ = 0;
    size_t flagBytes_ = 0;
    size_t offset_ = 0;
};

// Writes a catalogue file row by row: every row with status "unchanged", an empty text as null.
// The field descriptors must outlive the writer.
class PacketWriter {
  public:
    PacketWriter(const std::vector<FieldDescriptor>& fields,
                 const std::vector<PacketProperty>& packetProperties, size_t rowCount);
    void writeRow(const FieldValue* values);
    void writeRow(const FieldRef* values);
    // The bytes written so far, which the writer then forgets: a large file goes out in parts.
    QByteArray takeBytes() { return std::exchange(out_, {}); }
    qsizetype pendingBytes() const { return out_.size(); }
    // The rest of the bytes; fails unless every announced row was written.
    QByteArray finish();

  private:
    const std::vector<FieldDescriptor>& fields_;
    size_t rowCount_;
    size_t rowsWritten_ = 0;
    size_t flagBytes_;
    QByteArray out_;
};
