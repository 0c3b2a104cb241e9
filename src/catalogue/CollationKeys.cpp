// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/CollationKeys.h"

#include <unicode/ucol.h>

#include <exception>
#include <stdexcept>
#include <thread>

namespace {

UCollator* openCollator() {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("zh_CN", &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("no Chinese collation: ") + u_errorName(status));
    return collator;
}

// Appends the key of text, with its closing zero byte, and returns where it starts.
quint32 appendKey(const UCollator* collator, QStringView text, std::vector<char>& bytes) {
    const auto start = quint32(bytes.size());
    const auto* chars = reinterpret_cast<const UChar*>(text.utf16());
    const auto length = int32_t(text.size());
    uint8_t small[512];
    int32_t size = ucol_getSortKey(collator, chars, length, small, sizeof small);
    if (size <= int32_t(sizeof small)) {
        bytes.insert(bytes.end(), small, small + size);
    } else {
        bytes.resize(start + size_t(size));
        ucol_getSortKey(collator, chars, length, reinterpret_cast<uint8_t*>(bytes.data() + start),
                        size);
    }
    return start;
}

// Keys of rows [from, to) into bytes, with where each starts.
void makeKeys(const UCollator* collator, const StationRows& rows, Field field, size_t from,
              size_t to, std::vector<char>& bytes, std::vector<quint32>& starts) {
    bytes.reserve((to - from) * 24);
    starts.reserve(to - from);
    for (size_t row = from; row < to; ++row)
        starts.push_back(appendKey(collator, rows.textView(row, field), bytes));
}

}  // namespace

CollationKeys::CollationKeys() = default;

CollationKeys::~CollationKeys() {
    if (collator_)
        ucol_close(collator_);
}

void CollationKeys::build(const StationRows& rows, Field field) {
    clear();
    if (!collator_)
        collator_ = openCollator();
    // The second half on a thread of its own, with a collator of its own.
    const size_t half = rows.size() / 2;
    std::vector<char> laterBytes;
    std::vector<quint32> laterStarts;
    UCollator* second = openCollator();
    std::exception_ptr laterFailure;
    std::thread later([&] {
        try {
            makeKeys(second, rows, field, half, rows.size(), laterBytes, laterStarts);
        } catch (...) {
            laterFailure = std::current_exception();
        }
    });
    std::exception_ptr failure;
    try {
        makeKeys(collator_, rows, field, 0, half, bytes_, starts_);
    } catch (...) {
        failure = std::current_exception();
    }
    later.join();
    ucol_close(second);
    if (!failure)
        failure = laterFailure;
    if (failure) {
        clear();
        std::rethrow_exception(failure);
    }
    const auto shift = quint32(bytes_.size());
    bytes_.insert(bytes_.end(), laterBytes.begin(), laterBytes.end());
    for (quint32 start : laterStarts)
        starts_.push_back(start + shift);
}

void CollationKeys::clear() {
    bytes_ = {};
    starts_ = {};
    unused_ = 0;
}

void CollationKeys::set(size_t row, QStringView text) {
    unused_ += std::strlen(bytes_.data() + starts_[row]) + 1;
    starts_[row] = appendKey(collator_, text, bytes_);
    if (unused_ > bytes_.size() / 2)
        compact();
}

void CollationKeys::compact() {
    std::vector<char> live;
    live.reserve(bytes_.size() - unused_);
    for (quint32& start : starts_) {
        const char* key = bytes_.data() + start;
        start = quint32(live.size());
        live.insert(live.end(), key, key + std::strlen(key) + 1);
    }
    bytes_ = std::move(live);
    unused_ = 0;
}

void CollationKeys::append(QStringView text) {
    starts_.push_back(appendKey(collator_, text, bytes_));
}

void CollationKeys::erase(size_t row) {
    unused_ += std::strlen(bytes_.data() + starts_[row]) + 1;
    starts_.erase(starts_.begin() + qsizetype(row));
}
