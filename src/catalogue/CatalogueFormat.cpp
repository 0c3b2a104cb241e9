// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/CatalogueFormat.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "texts are copied as UTF-16LE without swapping");

namespace {

constexpr quint32 kMagic = 0xBDE01996;
constexpr int kHeaderSize = 24;
constexpr quint16 kMaxVersion = 3;
constexpr quint32 kAttrHasDescriptors = 1;
constexpr quint32 kAttrHasRowOffset = 2;
// Smallest possible descriptor: name length, width, type, attributes, property count.
constexpr size_t kMinDescriptorSize = 1 + 2 + 2 + 2 + 2;
constexpr qint64 kJulianDayOfYearOne = 1721426;  // 0001-01-01, proleptic Gregorian
constexpr qint64 kJulianDayOfZeroDay = 2415019;  // 1899-12-30

[[noreturn]] void fail(const QString& reason) {
    throw CatalogueFormatError(reason.toStdString());
}

size_t flagBytesFor(size_t fieldCount) {
    return (2 * fieldCount + 7) / 8;
}

// Where the reader is, for its messages; formatted only when something fails.
struct Place {
    const char* kind;
    qint64 index = -1;

    QString text() const {
        return index < 0 ? QString::fromLatin1(kind)
                         : QStringLiteral("%1 %2").arg(QLatin1String(kind)).arg(index);
    }
};

// Bounds-checked little-endian reading over the file's bytes.
class Cursor {
  public:
    explicit Cursor(const QByteArray& bytes, size_t offset = 0)
        : p_(reinterpret_cast<const uchar*>(bytes.constData()) + offset),
          end_(reinterpret_cast<const uchar*>(bytes.constData()) + bytes.size()),
          begin_(reinterpret_cast<const uchar*>(bytes.constData())) {}

    size_t remaining() const { return size_t(end_ - p_); }
    size_t offset() const { return size_t(p_ - begin_); }
    void need(size_t n, Place what) const {
        if (n > remaining())
            fail(QStringLiteral("file ends inside %1 (offset %2, %3 bytes missing)")
                     .arg(what.text())
                     .arg(offset())
                     .arg(n - remaining()));
    }
    const uchar* take(size_t n, Place what) {
        need(n, what);
        const uchar* at = p_;
        p_ += n;
        return at;
    }
    quint8 u8(Place what) { return *take(1, what); }
    quint16 u16(Place what) { return qFromLittleEndian<quint16>(take(2, what)); }
    quint32 u32(Place what) { return qFromLittleEndian<quint32>(take(4, what)); }
    void seek(size_t off) { p_ = begin_ + off; }

  private:
    const uchar* p_;
    const uchar* end_;
    const uchar* begin_;
};

PacketProperty readProperty(Cursor& in, Place what) {
    PacketProperty prop;
    const quint8 nameLen = in.u8(what);
    prop.name = QByteArray(reinterpret_cast<const char*>(in.take(nameLen, what)), nameLen);
    const quint16 size = in.u16(what);
    prop.type = in.u16(what);
    prop.value = QByteArray(reinterpret_cast<const char*>(in.take(size, what)), size);
    return prop;
}

void checkReadable(const FieldDescriptor& f, size_t index) {
    const bool ok =
        (f.typeWord == FieldDescriptor::kWideString && (f.valueWidth == 1 || f.valueWidth == 2)) ||
        (f.typeWord == FieldDescriptor::kDateTime && f.valueWidth == 8) ||
        (f.typeWord == FieldDescriptor::kInt32 && f.valueWidth == 4);
    if (!ok)
        fail(QStringLiteral("field %1 (%2) has type 0x%3 with width %4, which cannot be read")
                 .arg(index)
                 .arg(f.name)
                 .arg(f.typeWord, 4, 16, QLatin1Char('0'))
                 .arg(f.valueWidth));
}

FieldDescriptor readDescriptor(Cursor& in, size_t index) {
    const Place what{"field descriptor", qint64(index)};
    FieldDescriptor f;
    const quint8 nameLen = in.u8(what);
    f.name = QString::fromUtf8(reinterpret_cast<const char*>(in.take(nameLen, what)), nameLen);
    f.valueWidth = in.u16(what);
    f.typeWord = in.u16(what);
    f.attributes = in.u16(what);
    const quint16 propCount = in.u16(what);
    for (quint16 i = 0; i < propCount; ++i)
        f.properties.push_back(readProperty(in, what));
    checkReadable(f, index);
    return f;
}

FieldRef readValue(Cursor& in, const FieldDescriptor& f, Place what) {
    switch (f.typeWord) {
        case FieldDescriptor::kWideString: {
            const size_t len = f.valueWidth == 1 ? in.u8(what) : in.u16(what);
            if (len % 2 != 0)
                fail(QStringLiteral("%1 has an odd text length %2").arg(what.text()).arg(len));
            return {FieldRef::Kind::text, reinterpret_cast<const char*>(in.take(len, what)),
                    qsizetype(len)};
        }
        case FieldDescriptor::kDateTime: {
            const quint64 bits = qFromLittleEndian<quint64>(in.take(8, what));
            double msecs;
            std::memcpy(&msecs, &bits, sizeof msecs);
            return FieldRef::ofDateTime(msecs);
        }
        default:
            return FieldRef::ofInteger(qint32(in.u32(what)));
    }
}

template <typename T>
void putLE(QByteArray& out, T v) {
    char buf[sizeof(T)];
    qToLittleEndian(v, buf);
    out.append(buf, sizeof(T));
}

void writeProperty(QByteArray& out, const PacketProperty& p) {
    if (p.name.size() > 255 || p.value.size() > 0xFFFF)
        fail(QStringLiteral("property %1 is too long").arg(QString::fromLatin1(p.name)));
    out.append(char(p.name.size()));
    out.append(p.name);
    putLE<quint16>(out, quint16(p.value.size()));
    putLE<quint16>(out, p.type);
    out.append(p.value);
}

void writeValue(QByteArray& out, const FieldDescriptor& f, const FieldRef& v, size_t row) {
    switch (f.typeWord) {
        case FieldDescriptor::kWideString: {
            const size_t len = size_t(v.textBytes);
            const size_t prefixMax = f.valueWidth == 1 ? 0xFF : 0xFFFF;
            const int width = f.widthBytes();
            if (len > prefixMax || (width > 0 && len > size_t(width)))
                fail(QStringLiteral("row %1: %2 is %3 characters, more than the field holds")
                         .arg(row)
                         .arg(f.name)
                         .arg(len / 2));
            if (f.valueWidth == 1)
                out.append(char(len));
            else
                putLE<quint16>(out, quint16(len));
            out.append(v.text, qsizetype(len));
            break;
        }
        case FieldDescriptor::kDateTime: {
            quint64 bits;
            std::memcpy(&bits, &v.msecs, sizeof bits);
            putLE<quint64>(out, bits);
            break;
        }
        default:
            putLE<quint32>(out, quint32(v.integer));
    }
}

// An empty text is stored as null.
bool isNull(const FieldRef& v) {
    return v.kind == FieldRef::Kind::null || (v.kind == FieldRef::Kind::text && v.textBytes == 0);
}

bool matchesType(const FieldDescriptor& f, const FieldRef& v) {
    switch (f.typeWord) {
        case FieldDescriptor::kWideString:
            return v.kind == FieldRef::Kind::text;
        case FieldDescriptor::kDateTime:
            return v.kind == FieldRef::Kind::dateTime;
        default:
            return v.kind == FieldRef::Kind::integer;
    }
}

}  // namespace

FieldRef FieldRef::of(const FieldValue& v) {
    if (const auto* text = std::get_if<QString>(&v))
        return ofText(*text);
    if (const auto* time = std::get_if<CdsDateTime>(&v))
        return ofDateTime(time->msecs);
    if (const auto* number = std::get_if<qint32>(&v))
        return ofInteger(*number);
    return {};
}

FieldValue FieldRef::toValue() const {
    switch (kind) {
        case Kind::text: {
            QString t(textBytes / 2, Qt::Uninitialized);
            std::memcpy(t.data(), text, size_t(textBytes));
            return t;
        }
        case Kind::dateTime:
            return CdsDateTime{msecs};
        case Kind::integer:
            return integer;
        case Kind::null:
            break;
    }
    return {};
}

void requireFitsInMemory(size_t rowCount, size_t bytesPerRow, size_t fileBytes) {
    constexpr size_t kAllowance = 32u << 20;
    const double needed = double(rowCount) * double(bytesPerRow) + double(fileBytes);
    if (needed > 4.0 * double(fileBytes) + double(kAllowance))
        fail(QStringLiteral("%1 rows in a file of %2 bytes would take %3 MB of memory, more than "
                            "such a file may")
                 .arg(rowCount)
                 .arg(fileBytes)
                 .arg(qint64(needed / 1e6)));
}

CdsDateTime CdsDateTime::fromDateTime(QDate date, QTime time) {
    const qint64 days = date.toJulianDay() - kJulianDayOfYearOne + 1;
    return {double(days) * kMsecsPerDay + double(time.msecsSinceStartOfDay())};
}

CdsDateTime CdsDateTime::fromTimeOfDay(QTime time) {
    return fromDateTime(QDate::fromJulianDay(kJulianDayOfZeroDay), time);
}

QDate CdsDateTime::date() const {
    const double days = std::floor(msecs / kMsecsPerDay);
    if (!std::isfinite(days) || std::fabs(days) > 1e9)
        return {};
    return QDate::fromJulianDay(qint64(days) - 1 + kJulianDayOfYearOne);
}

QTime CdsDateTime::time() const {
    const double ofDay = msecs - std::floor(msecs / kMsecsPerDay) * kMsecsPerDay;
    if (!std::isfinite(ofDay))
        return {};
    return QTime::fromMSecsSinceStartOfDay(int(std::min(ofDay, kMsecsPerDay - 1)));
}

FieldDescriptor FieldDescriptor::wideString(const QString& name, int maxChars) {
    QByteArray width(2, '\0');
    qToLittleEndian<quint16>(quint16(maxChars * 2), width.data());
    // A field up to 127 characters fits a one-byte length prefix.
    return {name, quint16(maxChars * 2 <= 0xFF ? 1 : 2), kWideString, 0, {{"WIDTH", 2, width}}};
}

FieldDescriptor FieldDescriptor::dateTime(const QString& name) {
    return {name, 8, kDateTime, 0, {}};
}

FieldDescriptor FieldDescriptor::int32(const QString& name) {
    return {name, 4, kInt32, 0, {}};
}

int FieldDescriptor::widthBytes() const {
    for (const PacketProperty& p : properties)
        if (p.name == "WIDTH" && p.value.size() == 2)
            return qFromLittleEndian<quint16>(p.value.constData());
    return 0;
}

PacketReader::PacketReader(const QByteArray& bytes) : bytes_(bytes) {
    Cursor in(bytes);
    if (bytes.size() < kHeaderSize)
        fail(QStringLiteral("file is shorter than its header (%1 of %2 bytes)")
                 .arg(bytes.size())
                 .arg(kHeaderSize));
    const Place header{"the header"};
    const quint32 magic = in.u32(header);
    if (magic != kMagic)
        fail(QStringLiteral("not a catalogue file (magic number 0x%1)")
                 .arg(magic, 8, 16, QLatin1Char('0')));
    const quint16 major = in.u16(header);
    const quint16 minor = in.u16(header);
    if (major > kMaxVersion || minor > kMaxVersion)
        fail(QStringLiteral("unsupported format version %1.%2").arg(major).arg(minor));
    const quint32 headerSize = in.u32(header);
    const quint16 fieldCount = in.u16(header);
    const qint32 rowCount = qint32(in.u32(header));
    const quint32 attributes = in.u32(header);
    const quint16 firstRowOffset = in.u16(header);

    if (headerSize < kHeaderSize || headerSize > size_t(bytes.size()))
        fail(QStringLiteral("header size %1 does not fit a file of %2 bytes")
                 .arg(headerSize)
                 .arg(bytes.size()));
    if (!(attributes & kAttrHasDescriptors))
        fail(QStringLiteral("packet carries no field descriptors"));
    if (rowCount < 0)
        fail(QStringLiteral("negative row count %1").arg(rowCount));
    in.seek(headerSize);
    if (size_t(fieldCount) * kMinDescriptorSize > in.remaining())
        fail(QStringLiteral("header announces %1 fields, more than the file can hold")
                 .arg(fieldCount));

    fields_.reserve(fieldCount);
    for (size_t i = 0; i < fieldCount; ++i)
        fields_.push_back(readDescriptor(in, i));

    const Place props{"the packet properties"};
    const quint16 propCount = in.u16(props);
    for (quint16 i = 0; i < propCount; ++i)
        packetProperties_.push_back(readProperty(in, props));

    if (attributes & kAttrHasRowOffset) {
        if (firstRowOffset < in.offset() || firstRowOffset > size_t(bytes.size()))
            fail(QStringLiteral("first-row offset %1 does not follow the descriptors (offset %2)")
                     .arg(firstRowOffset)
                     .arg(in.offset()));
        in.seek(firstRowOffset);
    }

    // Every row needs at least its status and null-flag bytes, which caps a hostile row count
    // before anyone reserves room for it.
    flagBytes_ = flagBytesFor(fieldCount);
    if (size_t(rowCount) > in.remaining() / (1 + flagBytes_))
        fail(QStringLiteral("header announces %1 rows, more than the remaining %2 bytes can hold")
                 .arg(rowCount)
                 .arg(in.remaining()));
    rowCount_ = size_t(rowCount);
    offset_ = in.offset();
}

void PacketReader::readRow(FieldValue* values) {
    // The values own their texts; this path serves small packets and tools.
    std::vector<FieldRef> refs(fields_.size());
    readRow(refs.data());
    std::transform(refs.begin(), refs.end(), values, [](const FieldRef& r) { return r.toValue(); });
}

void PacketReader::readRow(FieldRef* values) {
    if (rowsRead_ >= rowCount_)
        fail(QStringLiteral("no rows left to read"));
    Cursor in(bytes_, offset_);
    const Place what{"row", qint64(rowsRead_)};
    in.u8(what);  // row status: only unchanged rows occur; others are read alike
    const uchar* flags = in.take(flagBytes_, what);
    for (size_t i = 0; i < fields_.size(); ++i) {
        const int flag = (flags[i / 4] >> (2 * (i % 4))) & 3;
        values[i] = flag != 0 ? FieldRef() : readValue(in, fields_[i], what);
    }
    offset_ = in.offset();
    ++rowsRead_;
}

void PacketReader::finish() const {
    if (rowsRead_ != rowCount_)
        fail(QStringLiteral("%1 rows left unread").arg(rowCount_ - rowsRead_));
    if (const size_t left = size_t(bytes_.size()) - offset_; left != 0)
        fail(QStringLiteral("%1 bytes follow the last row").arg(left));
}

PacketWriter::PacketWriter(const std::vector<FieldDescriptor>& fields,
                           const std::vector<PacketProperty>& packetProperties, size_t rowCount)
    : fields_(fields), rowCount_(rowCount), flagBytes_(flagBytesFor(fields.size())) {
    const size_t fieldCount = fields.size();
    if (fieldCount > 0xFFFF)
        fail(QStringLiteral("too many fields"));
    if (rowCount > size_t(std::numeric_limits<qint32>::max()))
        fail(QStringLiteral("too many rows"));

    QByteArray meta;
    for (const FieldDescriptor& f : fields) {
        checkReadable(f, size_t(&f - fields.data()));
        const QByteArray name = f.name.toUtf8();
        if (name.size() > 255)
            fail(QStringLiteral("field name %1 is too long").arg(f.name));
        meta.append(char(name.size()));
        meta.append(name);
        putLE<quint16>(meta, f.valueWidth);
        putLE<quint16>(meta, f.typeWord);
        putLE<quint16>(meta, f.attributes);
        putLE<quint16>(meta, quint16(f.properties.size()));
        for (const PacketProperty& p : f.properties)
            writeProperty(meta, p);
    }
    putLE<quint16>(meta, quint16(packetProperties.size()));
    for (const PacketProperty& p : packetProperties)
        writeProperty(meta, p);

    const size_t firstRow = kHeaderSize + size_t(meta.size());
    const bool offsetFits = firstRow <= 0xFFFF;
    // Room for the rows up to a few megabytes: a large file is taken in parts (takeBytes).
    out_.reserve(qsizetype(
        std::min<size_t>(firstRow + rowCount * (1 + flagBytes_ + fieldCount * 12), 4u << 20)));
    putLE<quint32>(out_, kMagic);
    putLE<quint16>(out_, 1);
    putLE<quint16>(out_, 0);
    putLE<quint32>(out_, kHeaderSize);
    putLE<quint16>(out_, quint16(fieldCount));
    putLE<qint32>(out_, qint32(rowCount));
    putLE<quint32>(out_, kAttrHasDescriptors | (offsetFits ? kAttrHasRowOffset : 0));
    putLE<quint16>(out_, offsetFits ? quint16(firstRow) : 0);
    out_.append(meta);
}

void PacketWriter::writeRow(const FieldValue* values) {
    std::vector<FieldRef> refs(fields_.size());
    std::transform(values, values + fields_.size(), refs.begin(), FieldRef::of);
    writeRow(refs.data());
}

void PacketWriter::writeRow(const FieldRef* values) {
    if (rowsWritten_ >= rowCount_)
        fail(QStringLiteral("more rows than the header announces"));
    char flags[(2 * 0xFFFF + 7) / 8];
    std::memset(flags, 0, flagBytes_);
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (isNull(values[i]))
            flags[i / 4] = char(flags[i / 4] | (1 << (2 * (i % 4))));
        else if (!matchesType(fields_[i], values[i]))
            fail(QStringLiteral("row %1: value of %2 has the wrong type")
                     .arg(rowsWritten_)
                     .arg(fields_[i].name));
    }
    out_.append('\0');  // row status: unchanged
    out_.append(flags, qsizetype(flagBytes_));
    for (size_t i = 0; i < fields_.size(); ++i)
        if (!isNull(values[i]))
            writeValue(out_, fields_[i], values[i], rowsWritten_);
    ++rowsWritten_;
}

QByteArray PacketWriter::finish() {
    if (rowsWritten_ != rowCount_)
        fail(QStringLiteral("fewer rows than the header announces"));
    return std::move(out_);
}
