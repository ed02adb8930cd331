// Shared helpers of the row sources: stepping moves and bookmark encoding.
#include "engine/row_source.h"

#include <cstring>

namespace tv::engine {

void RowSource::move(long rows) {
    for (; rows > 0 && !eof(); --rows) moveNext();
    for (; rows < 0 && !bof(); ++rows) movePrevious();
}

QByteArray encodeBookmark(std::int64_t a, std::int64_t b) {
    QByteArray bytes(16, '\0');
    std::memcpy(bytes.data(), &a, 8);
    std::memcpy(bytes.data() + 8, &b, 8);
    return bytes;
}

QByteArray encodeBookmark(std::int64_t a) {
    QByteArray bytes(8, '\0');
    std::memcpy(bytes.data(), &a, 8);
    return bytes;
}

bool decodeBookmark(const QByteArray& bookmark, std::int64_t* a, std::int64_t* b) {
    const qsizetype expected = b ? 16 : 8;
    if (bookmark.size() != expected) return false;
    std::memcpy(a, bookmark.constData(), 8);
    if (b) std::memcpy(b, bookmark.constData() + 8, 8);
    return true;
}

}  // namespace tv::engine
