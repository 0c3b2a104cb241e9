// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ChineseFont.h"

#include <QApplication>
#include <QFont>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace {
struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;
}  // namespace

QString chineseSansSerif() {
    Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:lang=zh-cn")));
    if (!pattern)
        return {};
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    FcCharSet* characters = nullptr;
    FcChar8* family = nullptr;
    if (!match || FcPatternGetCharSet(match.get(), FC_CHARSET, 0, &characters) != FcResultMatch ||
        !FcCharSetHasChar(characters, U'中') ||
        FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(family));
}

void useChineseSansSerif() {
    const QString family = chineseSansSerif();
    if (family.isEmpty())
        return;
    QFont font = QApplication::font();
    font.setFamilies({family});
    QApplication::setFont(font);
}
