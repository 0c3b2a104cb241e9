// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/UpdateDescriptor.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

std::optional<QString> value(const char* text, int child) {
    const std::optional<UpdateDescriptor> d = UpdateDescriptor::parse(QByteArray(text));
    return d ? d->value(child) : std::optional<QString>(QStringLiteral("(no document)"));
}

}  // namespace

TEST(UpdateDescriptor, ValuesAreFoundByPositionWhateverTheElementsAreCalled) {
    EXPECT_EQ(value("<u><v>20121203</v><l>新来的电台</l></u>", 1), QStringLiteral("新来的电台"));
    // Whitespace between elements is no node; inside a value it stays.
    EXPECT_EQ(value("<u>\n  <v> 222 </v>\n  <n>2.22</n>\n</u>", 0), QStringLiteral(" 222 "));
    EXPECT_EQ(value("<u>\n  <v> 222 </v>\n  <n>2.22</n>\n</u>", 1), QStringLiteral("2.22"));
    EXPECT_EQ(value("<?xml version=\"1.0\" encoding=\"UTF-8\"?><u><v>a &amp; b</v></u>", 0),
              QStringLiteral("a & b"));
    EXPECT_EQ(value("<u><v><![CDATA[a<b]]></v></u>", 0), QStringLiteral("a<b"));
    // A first node that is an element gives all the text inside it.
    EXPECT_EQ(value("<u><v><a>in</a>after</v><n><b>x<c>y</c></b>z</n></u>", 1),
              QStringLiteral("xy"));
    // Text and comments beside the elements take a position, with no value.
    EXPECT_EQ(value("<u>loose<v>1</v></u>", 0), std::nullopt);
    EXPECT_EQ(value("<u><!-- c --><v>1</v></u>", 1), QStringLiteral("1"));
    // A comment first inside a child is a value without text.
    EXPECT_EQ(value("<u><v><!-- c -->1</v></u>", 0), QString());
    // Empty, blank or missing children have no value.
    EXPECT_EQ(value("<u><v></v><n>x</n></u>", 0), std::nullopt);
    EXPECT_EQ(value("<u><v>  </v><w>2</w></u>", 0), std::nullopt);
    EXPECT_EQ(value("<u><v>1</v></u>", 1), std::nullopt);

    for (const char* broken : {"<u><v>unclosed</u>", "not xml", ""})
        EXPECT_FALSE(UpdateDescriptor::parse(QByteArray(broken))) << broken;
    const auto d = UpdateDescriptor::parse("<u><v> 42 </v><n>4x</n></u>");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->number(0), 42);
    EXPECT_EQ(d->number(1), std::nullopt);
}
