// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// The fixed lists that browsing and editing offer.
namespace CatalogueLists {

// The 57 genre names of the genre tree, by node code (0 to 56); also the category values.
const QStringList& genreNames();
// The 173 country names of the search box, in their order.
const QStringList& searchCountries();
// The station editor's list: the same, but ending in "佐治亚" instead of "格鲁吉亚".
const QStringList& editorCountries();

}  // namespace CatalogueLists
