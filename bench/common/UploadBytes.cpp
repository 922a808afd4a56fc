#include "common/UploadBytes.h"

namespace bench {

QByteArray textStreamBytes(const QByteArray& moduleBytes)
{
    QByteArray stored;
    stored.reserve(moduleBytes.size() + moduleBytes.count('\n'));
    for (const char byte : moduleBytes) {
        if (byte == '\n')
            stored += '\r';
        stored += byte;
    }
    return stored;
}

StoredPrefix storedPrefix(const QByteArray& moduleBytes, const QByteArray& fileBytes)
{
    qsizetype at = 0;
    qsizetype matched = 0;
    for (; matched < moduleBytes.size(); ++matched) {
        const char byte = moduleBytes[matched];
        const qsizetype width = byte == '\n' ? 2 : 1;
        if (at + width > fileBytes.size() || (byte == '\n' && fileBytes[at] != '\r') || fileBytes[at + width - 1] != byte)
            break;
        at += width;
    }
    return {matched, at == fileBytes.size()};
}

QByteArray moduleData(qsizetype size, std::mt19937& random)
{
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> kind(0, 15);
    QByteArray data(size, '\0');
    for (char& c : data) {
        switch (kind(random)) {
        case 0: c = '\n'; break;
        case 1: c = '\r'; break;
        default: c = char(byte(random));
        }
    }
    return data;
}

} // namespace bench
