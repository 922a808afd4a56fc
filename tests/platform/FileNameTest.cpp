// File names as bytes: every byte string comes back unchanged, valid UTF-8 reads as text.
#include "platform/FileName.h"

#include <gtest/gtest.h>

namespace {

TEST(FileName, AnyBytesComeBackUnchangedAndUtf8IsText)
{
    for (const QByteArray& bytes : {QByteArray("caf\xc3\xa9 \xf0\x9f\x93\x81.csv"), QByteArray("caf\xe9.csv"),
                                   QByteArray("\xc0\xaf overlong, \xed\xa0\x80 surrogate, \xf4\x90\x80\x80 too big"),
                                   QByteArray("cut \xe2\x82"), QByteArray("\xff\xfe\x80")})
        EXPECT_EQ(platform::FileNameBytes(platform::FileNameFromBytes(bytes)), bytes) << bytes.toHex().constData();
    const QByteArray text("caf\xc3\xa9 \xf0\x9f\x93\x81");
    EXPECT_EQ(platform::FileNameFromBytes(text), QString::fromUtf8(text));
    EXPECT_EQ(platform::FileNameFromBytes("caf\xe9").size(), 4);
}

}  // namespace
