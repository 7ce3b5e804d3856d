#include "app/AnsiCodec.h"
#include "tests/support/Printers.h"

#include <gtest/gtest.h>

using namespace plw;

TEST(AnsiCodec, RoundTripsTheSuitesCharacters) {
    // ASCII, half-width katakana (one byte), kanji and full-width forms (two bytes).
    const QString text = QStringLiteral("ABC ｱｲｳ 山田太郎 ＤＭ ①");
    const auto bytes = AnsiCodec::encode(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 4 + 4 + 9 + 5 + 2);
    EXPECT_EQ(AnsiCodec::decode(*bytes), text);
    EXPECT_EQ(AnsiCodec::byteLength(text), bytes->size());
    EXPECT_EQ(QByteArray::fromHex("8e52"), *AnsiCodec::encode(QStringLiteral("山")));
}

TEST(AnsiCodec, InvalidBytesBecomeReplacementsWithoutLosingTheRest) {
    // 0x80 and 0xFD start no CP932 character; a lead byte at the end has no trail byte.
    const QByteArray bytes = QByteArray("A\x80") + QByteArray::fromHex("8e52") + "\xfd" + "Z\x8e";
    EXPECT_EQ(AnsiCodec::decode(bytes), QStringLiteral("A\uFFFD山\uFFFDZ\uFFFD"));
}

TEST(AnsiCodec, RefusesCharactersWithoutACp932Form) {
    const QString text = QStringLiteral("名前😀と한");
    EXPECT_FALSE(AnsiCodec::encode(text));
    EXPECT_EQ(AnsiCodec::firstUnencodable(text), QStringLiteral("😀"));
    // Counted as one byte each, the platform's substitute width.
    EXPECT_EQ(AnsiCodec::byteLength(text), 2 + 2 + 1 + 2 + 1);
}
