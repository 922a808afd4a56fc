#include "widgets/VrClassesBitmaps.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

#include <random>

namespace {

QImage Pattern(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37 + seed) & 0xFF, (y * 91 + seed) & 0xFF, (x * y + seed) & 0xFF));
    return image;
}

QByteArray StreamOf(const TVrBitmaps& bitmaps)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bitmaps.SaveToStream(buffer);
    return bytes;
}

QString LoadError(TVrBitmaps& bitmaps, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        bitmaps.LoadFromStream(buffer);
    } catch (const EVrException& e) {
        return e.Message();
    }
    return {};
}

class TVrBitmapsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bitmaps.OnChange = [this](QObject*) { ++changes; };
    }
    TVrBitmaps bitmaps;
    int changes = 0;
};

TEST_F(TVrBitmapsTest, ListOperationsNotifyAndKeepOwnedCopies)
{
    const QImage a = Pattern(3, 2, 1), b = Pattern(5, 4, 2), c = Pattern(1, 1, 3);
    EXPECT_EQ(bitmaps.Add(a), 0);
    EXPECT_EQ(bitmaps.Add(b), 1);
    bitmaps.Insert(0, c);
    EXPECT_EQ(changes, 3);
    ASSERT_EQ(bitmaps.Count(), 3);
    EXPECT_EQ(*bitmaps.Bitmaps(0), c);
    EXPECT_EQ(*bitmaps.Bitmaps(1), a);

    QImage* held = bitmaps.Bitmaps(2);
    EXPECT_EQ(bitmaps.IndexOf(held), 2);
    const QImage equalButOther = b;
    EXPECT_EQ(bitmaps.IndexOf(&equalButOther), -1);

    bitmaps.Exchange(0, 2);
    EXPECT_EQ(bitmaps.IndexOf(held), 0);
    bitmaps.Move(0, 2);
    EXPECT_EQ(bitmaps.IndexOf(held), 2);
    bitmaps.SetBitmaps(1, c);
    EXPECT_EQ(*bitmaps.Bitmaps(1), c);
    bitmaps.Delete(0);
    EXPECT_EQ(bitmaps.Count(), 2);
    EXPECT_EQ(changes, 7);
}

TEST_F(TVrBitmapsTest, BadIndicesRaiseAndChangeNothing)
{
    bitmaps.Add(Pattern(2, 2, 0));
    changes = 0;
    EXPECT_THROW(bitmaps.Bitmaps(1), EVrException);
    EXPECT_THROW(bitmaps.Delete(-1), EVrException);
    EXPECT_THROW(bitmaps.Insert(2, QImage()), EVrException);
    EXPECT_THROW(bitmaps.Exchange(0, 1), EVrException);
    EXPECT_THROW(bitmaps.Move(1, 0), EVrException);
    EXPECT_EQ(bitmaps.Count(), 1);
    EXPECT_EQ(changes, 0);
    bitmaps.Insert(1, Pattern(1, 1, 0)); // appending at Count is allowed
    EXPECT_EQ(bitmaps.Count(), 2);
}

TEST_F(TVrBitmapsTest, ClearNotifiesTwiceAndAssignReplacesTheList)
{
    bitmaps.Add(Pattern(2, 2, 0));
    changes = 0;
    bitmaps.Clear();
    EXPECT_EQ(changes, 2);

    TVrBitmaps source;
    source.Add(Pattern(2, 3, 4));
    source.Add(Pattern(4, 1, 5));
    bitmaps.Add(Pattern(9, 9, 9));
    changes = 0;
    bitmaps.Assign(&source);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(bitmaps.Count(), 2);
    EXPECT_EQ(*bitmaps.Bitmaps(1), *source.Bitmaps(1));
    EXPECT_NE(bitmaps.Bitmaps(1), source.Bitmaps(1));

    bitmaps.Assign(&bitmaps); // keeps its own bitmaps
    EXPECT_EQ(bitmaps.Count(), 2);
    TVrGlyphs other;
    bitmaps.Assign(&other); // ignored without error
    EXPECT_EQ(bitmaps.Count(), 2);
    bitmaps.Assign(nullptr);
    EXPECT_EQ(bitmaps.Count(), 0);
}

TEST_F(TVrBitmapsTest, StreamHasTheSignatureCountAndSizedBitmapFiles)
{
    bitmaps.Add(Pattern(3, 2, 1));
    bitmaps.Add(Pattern(7, 5, 2));
    const QByteArray bytes = StreamOf(bitmaps);
    ASSERT_GE(bytes.size(), 8);
    EXPECT_EQ(bytes.left(4), QByteArray("\x62\x54\x35\x00", 4));
    EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 4), 2);
    // Each image is a bitmap file that carries its own total size.
    const quint32 first = qFromLittleEndian<quint32>(bytes.constData() + 8 + 2);
    EXPECT_EQ(bytes.mid(8, 2), "BM");
    EXPECT_EQ(bytes.mid(8 + first, 2), "BM");
    const quint32 second = qFromLittleEndian<quint32>(bytes.constData() + 8 + first + 2);
    EXPECT_EQ(8 + first + second, quint32(bytes.size()));
}

TEST_F(TVrBitmapsTest, StreamReadsBackEqualAndAppends)
{
    bitmaps.Add(Pattern(3, 2, 1));
    bitmaps.Add(Pattern(17, 9, 2));
    const QByteArray bytes = StreamOf(bitmaps);

    TVrBitmaps copy;
    copy.Add(Pattern(1, 1, 0));
    EXPECT_EQ(LoadError(copy, bytes), QString());
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(*copy.Bitmaps(1), *bitmaps.Bitmaps(0));
    EXPECT_EQ(*copy.Bitmaps(2), *bitmaps.Bitmaps(1));
}

TEST_F(TVrBitmapsTest, FilesAppendWhileFormDataReplaces)
{
    TVrBitmaps three;
    for (int i = 0; i < 3; ++i)
        three.Add(Pattern(4, 4, i));
    three.SaveToFile("three.vbl");

    bitmaps.Add(Pattern(2, 2, 7));
    bitmaps.Add(Pattern(2, 2, 8));
    changes = 0;
    bitmaps.LoadFromFile("three.vbl");
    EXPECT_EQ(bitmaps.Count(), 5);
    EXPECT_EQ(changes, 1);

    QFile file("three.vbl");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    bitmaps.ReadData(file);
    EXPECT_EQ(bitmaps.Count(), 3);
    EXPECT_EQ(*bitmaps.Bitmaps(2), *three.Bitmaps(2));
}

TEST_F(TVrBitmapsTest, FileErrorsAreClear)
{
    EXPECT_THROW(bitmaps.LoadFromFile("missing.vbl"), EVrException);
    EXPECT_THROW(bitmaps.SaveToFile("no/such/folder/x.vbl"), EVrException);
    bitmaps.Add(QImage()); // an empty bitmap has no file image
    EXPECT_THROW(bitmaps.SaveToFile("empty.vbl"), EVrException);
    EXPECT_EQ(QFile("empty.vbl").size(), 0); // nothing half-written
}

TEST_F(TVrBitmapsTest, BadHeadersAreRefusedBeforeAnythingIsAdded)
{
    bitmaps.Add(Pattern(2, 2, 0));
    TVrBitmaps good;
    good.Add(Pattern(2, 2, 0));
    const QByteArray stream = StreamOf(good);

    QByteArray wrongSignature = stream;
    wrongSignature[1] = 'X';
    EXPECT_EQ(LoadError(bitmaps, wrongSignature), "Invalid file format");
    EXPECT_EQ(LoadError(bitmaps, QByteArray("\x62\x54", 2)), "Bitmap stream ends early");

    QByteArray negative = stream;
    qToLittleEndian<qint32>(-1, negative.data() + 4);
    EXPECT_EQ(LoadError(bitmaps, negative), "Invalid bitmap count -1 in stream");
    QByteArray huge = stream;
    qToLittleEndian<qint32>(0x7FFFFFFF, huge.data() + 4);
    EXPECT_EQ(LoadError(bitmaps, huge), "Invalid bitmap count 2147483647 in stream");
    EXPECT_EQ(LoadError(bitmaps, stream.left(6)), "Bitmap stream ends early");

    QByteArray zero = stream.left(8);
    qToLittleEndian<qint32>(0, zero.data() + 4);
    EXPECT_EQ(LoadError(bitmaps, zero), QString());
    EXPECT_EQ(bitmaps.Count(), 1);
}

TEST_F(TVrBitmapsTest, BitmapsBeforeABadOneStay)
{
    TVrBitmaps two;
    two.Add(Pattern(3, 3, 1));
    two.Add(Pattern(3, 3, 2));
    const QByteArray stream = StreamOf(two);
    const quint32 first = qFromLittleEndian<quint32>(stream.constData() + 8 + 2);

    QByteArray truncated = stream.left(stream.size() - 5);
    EXPECT_EQ(LoadError(bitmaps, truncated), "Bitmap stream ends early");
    ASSERT_EQ(bitmaps.Count(), 1);
    EXPECT_EQ(*bitmaps.Bitmaps(0), *two.Bitmaps(0));

    QByteArray oversized = stream;
    qToLittleEndian<quint32>(0x7FFFFFF0, oversized.data() + 8 + first + 2);
    EXPECT_EQ(LoadError(bitmaps, oversized), "Invalid bitmap in stream");
    QByteArray notABitmap = stream;
    notABitmap[8 + first] = 'X';
    EXPECT_EQ(LoadError(bitmaps, notABitmap), "Invalid bitmap in stream");
    QByteArray hugeImage = stream; // a width far beyond the pixels the file holds
    qToLittleEndian<qint32>(30000, hugeImage.data() + 8 + first + 18);
    EXPECT_EQ(LoadError(bitmaps, hugeImage), "Invalid bitmap in stream");
    EXPECT_EQ(bitmaps.Count(), 4);
}

// Every prefix of a valid stream, and many streams with random bytes changed, either load or
// raise EVrException; none crashes, hangs or leaks (the sanitizer build checks the last two).
TEST(TVrBitmapsFuzz, TruncatedAndCorruptedStreamsFailCleanly)
{
    TVrBitmaps source;
    source.Add(Pattern(5, 3, 1));
    source.Add(Pattern(2, 7, 2));
    source.Add(Pattern(1, 1, 3));
    const QByteArray stream = StreamOf(source);

    for (int length = 0; length < stream.size(); ++length) {
        TVrBitmaps target;
        EXPECT_FALSE(LoadError(target, stream.left(length)).isEmpty()) << "prefix " << length;
        EXPECT_LT(target.Count(), 3);
    }

    std::mt19937 random(12345);
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray corrupt = stream;
        const int flips = 1 + int(random() % 4);
        for (int i = 0; i < flips; ++i)
            corrupt[int(random() % corrupt.size())] = char(random() & 0xFF);
        TVrBitmaps target;
        if (LoadError(target, corrupt).isEmpty())
            ++loaded;
        EXPECT_LE(target.Count(), 3);
    }
    EXPECT_GT(loaded, 0); // pixel bytes changed: still a valid stream
}

} // namespace
