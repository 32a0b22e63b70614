#pragma once
// The 62 regions of the map archive as the editor lists them: the region's
// number, " = ", and its name, some names with a "*" after them as the
// region list has always shown them.

#include <array>
#include <string>
#include <string_view>

namespace wright::arcwright {

inline constexpr std::array<std::string_view, 62> kRegionTexts{{
    "00 = Alik'r Desert", "01 = Dragontail Mountains",
    "02 = Glenpoint Foothills*", "03 = Harrowmere Bluffs*",
    "04 = Yeorth Burrowland*", "05 = Dwynnen",
    "06 = Ravennian Forest*", "07 = Devilrock*",
    "08 = Malekna Forest*", "09 = Isle of Balfiera",
    "10 = Bantha*", "11 = Dak'fron",
    "12 = Islands in the Western Iliac Bay*", "13 = Tamarilyn Point*",
    "14 = Lainlyn Cliffs*", "15 = Bjoulsae River*",
    "16 = Wrothgarian Mountains", "17 = Harrowmere",
    "18 = Glenpoint", "19 = Betony",
    "20 = Sentinel", "21 = Anticlere",
    "22 = Lainlyn", "23 = Wayrest",
    "24 = Gen Tem High Rock village*", "25 = Gen Rai Hammerfell village*",
    "26 = Orsinium Area", "27 = Skeffington Wood*",
    "28 = Hammerfell bay coast*", "29 = Hammerfell sea coast*",
    "30 = High Rock bay coast*", "31 = High Rock sea coast",
    "32 = Northmoor", "33 = Menevia",
    "34 = Alcaire", "35 = Koegria",
    "36 = Bhoriane", "37 = Kambria",
    "38 = Phrygias", "39 = Urvaius",
    "40 = Ykalon", "41 = Daenia",
    "42 = Shalgora", "43 = Abibon-Gora",
    "44 = Kairou", "45 = Pothago",
    "46 = Myrkwasa", "47 = Ayasofya",
    "48 = Tigonus", "49 = Kozanset",
    "50 = Satakalaam", "51 = Totambu",
    "52 = Mournoth", "53 = Ephesus",
    "54 = Santaki", "55 = Antiphyllos",
    "56 = Bergama", "57 = Gavaudon",
    "58 = Tulune", "59 = Glenumbra Moors",
    "60 = Ilessan Hills", "61 = Cybiades",
}};

// The name alone: without the number in front and the mark after it.
inline std::string regionName(int region) {
    std::string_view text = kRegionTexts.at(static_cast<std::size_t>(region));
    text.remove_prefix(text.find(" = ") + 3);
    if (!text.empty() && text.back() == '*') text.remove_suffix(1);
    return std::string(text);
}

}  // namespace wright::arcwright
