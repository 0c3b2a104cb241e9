// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WholeFile.h"

#include <stdexcept>

#include <sys/mman.h>

namespace {

constexpr qint64 kHugePage = 2 << 20;

// A hint only: where the kernel gives no huge pages the buffer works as it is.
void adviseHugePages(char* data, qint64 size) {
    if (size < 2 * kHugePage)
        return;
    const auto begin =
        (reinterpret_cast<quintptr>(data) + kHugePage - 1) & ~quintptr(kHugePage - 1);
    const auto end = (reinterpret_cast<quintptr>(data) + quintptr(size)) & ~quintptr(kHugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace

QByteArray readWholeFile(QFile& file) {
    const qint64 size = file.size();
    QByteArray bytes(size, Qt::Uninitialized);
    adviseHugePages(bytes.data(), size);
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file.read(bytes.data() + done, size - done);
        if (n < 0)
            throw std::runtime_error(
                QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()).toStdString());
        if (n == 0)
            break;  // shorter than it was a moment ago
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}
