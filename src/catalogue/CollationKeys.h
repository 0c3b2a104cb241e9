// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/StationRows.h"

#include <QStringView>

#include <cstring>
#include <vector>

struct UCollator;

// The collation keys of one text field for every row, in Chinese order (pinyin where the
// collator offers it): made once, kept in one buffer, and compared byte by byte. A changed row
// gets a new key at the buffer's end; the buffer is packed again once half of it is unused.
class CollationKeys {
  public:
    CollationKeys();
    ~CollationKeys();
    CollationKeys(const CollationKeys&) = delete;
    CollationKeys& operator=(const CollationKeys&) = delete;

    // Keys for the field of every row, made on two threads. The collator is opened here, at the
    // first sort, not at start. Throws std::runtime_error when ICU lacks Chinese collation.
    void build(const StationRows& rows, Field field);

    // After build only.
    void set(size_t row, QStringView text);
    void append(QStringView text);
    void erase(size_t row);

    bool less(size_t a, size_t b) const {
        return std::strcmp(bytes_.data() + starts_[a], bytes_.data() + starts_[b]) < 0;
    }

  private:
    void clear();
    void compact();

    UCollator* collator_ = nullptr;
    std::vector<char> bytes_;  // each key ends in a zero byte
    std::vector<quint32> starts_;
    size_t unused_ = 0;  // bytes of keys no row uses any more
};
