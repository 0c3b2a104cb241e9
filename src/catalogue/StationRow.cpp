// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/StationRow.h"

#include <stdexcept>

namespace {

constexpr std::array<FieldSpec, kFieldCount> kSpecs{{
    {u"电台名称", FieldDescriptor::kWideString, 255},
    {u"电台国家", FieldDescriptor::kWideString, 255},
    {u"电台类别", FieldDescriptor::kWideString, 255},
    {u"编码率", FieldDescriptor::kWideString, 50},
    {u"开始时间", FieldDescriptor::kDateTime, 0},
    {u"结束时间", FieldDescriptor::kDateTime, 0},
    {u"收藏", FieldDescriptor::kWideString, 255},
    {u"电台地址", FieldDescriptor::kWideString, 255},
    {u"计划类型", FieldDescriptor::kWideString, 255},
    {u"完成动作", FieldDescriptor::kWideString, 255},
    {u"周期", FieldDescriptor::kWideString, 255},
    {u"间隔", FieldDescriptor::kInt32, 0},
}};

void requireType(Field f, quint16 type) {
    if (fieldSpec(f).typeWord != type)
        throw std::logic_error("field " + fieldName(f).toStdString() + " has another type");
}

}  // namespace

const FieldSpec& fieldSpec(Field f) {
    return kSpecs[size_t(f)];
}

QString fieldName(Field f) {
    return QString::fromUtf16(fieldSpec(f).name);
}

std::optional<Field> fieldByName(const QString& name) {
    for (int i = 0; i < kFieldCount; ++i)
        if (name == QStringView(kSpecs[size_t(i)].name))
            return Field(i);
    return std::nullopt;
}

const std::vector<FieldDescriptor>& stationDescriptors() {
    static const std::vector<FieldDescriptor> descriptors = [] {
        std::vector<FieldDescriptor> out;
        for (int i = 0; i < kFieldCount; ++i) {
            const FieldSpec& spec = kSpecs[size_t(i)];
            const QString name = QString::fromUtf16(spec.name);
            switch (spec.typeWord) {
                case FieldDescriptor::kWideString:
                    out.push_back(FieldDescriptor::wideString(name, spec.maxChars));
                    break;
                case FieldDescriptor::kDateTime:
                    out.push_back(FieldDescriptor::dateTime(name));
                    break;
                default:
                    out.push_back(FieldDescriptor::int32(name));
            }
        }
        return out;
    }();
    return descriptors;
}

qsizetype widthCut(QStringView text, int maxChars) {
    if (text.size() <= maxChars)
        return text.size();
    qsizetype cut = maxChars;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate() && text.at(cut).isLowSurrogate())
        --cut;
    return cut;
}

QString cutToWidth(const QString& text, int maxChars) {
    return text.left(widthCut(text, maxChars));
}

QString StationRow::text(Field f) const {
    const QString* t = std::get_if<QString>(&values[size_t(f)]);
    return t ? *t : QString();
}

QStringView StationRow::textView(Field f) const {
    const QString* t = std::get_if<QString>(&values[size_t(f)]);
    return t ? QStringView(*t) : QStringView();
}

std::optional<CdsDateTime> StationRow::dateTime(Field f) const {
    const CdsDateTime* v = std::get_if<CdsDateTime>(&values[size_t(f)]);
    return v ? std::optional(*v) : std::nullopt;
}

std::optional<qint32> StationRow::integer(Field f) const {
    const qint32* v = std::get_if<qint32>(&values[size_t(f)]);
    return v ? std::optional(*v) : std::nullopt;
}

void StationRow::setText(Field f, const QString& text) {
    requireType(f, FieldDescriptor::kWideString);
    if (text.isEmpty())
        values[size_t(f)] = std::monostate{};
    else
        values[size_t(f)] = cutToWidth(text, fieldSpec(f).maxChars);
}

void StationRow::setDateTime(Field f, std::optional<CdsDateTime> value) {
    requireType(f, FieldDescriptor::kDateTime);
    values[size_t(f)] = value ? FieldValue(*value) : FieldValue();
}

void StationRow::setInteger(Field f, std::optional<qint32> value) {
    requireType(f, FieldDescriptor::kInt32);
    values[size_t(f)] = value ? FieldValue(*value) : FieldValue();
}

StationRow StationRow::station(const QString& name, const QString& country, const QString& category,
                               const QString& bitRate, const QString& url) {
    StationRow row;
    row.setText(Field::stationName, name);
    row.setText(Field::country, country);
    row.setText(Field::category, category);
    row.setText(Field::bitRate, bitRate);
    row.setText(Field::streamUrl, url);
    return row;
}
