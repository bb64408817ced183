#include "dialogs/datum_catalogue.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace dialogs {
namespace {

using Catalogue = DatumCatalogue;

TEST(DatumCatalogue, Counts) {
  EXPECT_EQ(Catalogue::Datums().size(), 220u);
  EXPECT_EQ(Catalogue::Ellipsoids().size(), 27u);
  EXPECT_EQ(Catalogue::kUserDefinedRow, 219);
}

TEST(DatumCatalogue, NumbersAreRowsExceptTheUserDefinedOne) {
  std::set<int> numbers;
  for (int row = 0; row < Catalogue::kDatumCount; ++row) {
    const DatumEntry& d = Catalogue::Datums()[row];
    EXPECT_EQ(d.number, row == 219 ? UserDefinedDatumNumber : row) << row;
    EXPECT_TRUE(numbers.insert(d.number).second) << "number repeats: " << d.number;
    EXPECT_GE(d.ellipsoid, 0) << row;
    EXPECT_LT(d.ellipsoid, Catalogue::kEllipsoidCount) << row;
    EXPECT_FALSE(d.name.empty()) << row;
  }
  EXPECT_EQ(UserDefinedDatumNumber, 500);
}

// Every name as the receiver's list gives it, odd spellings included. Rows 100
// to 109 are named by us and only their numbers are fixed.
const std::pair<int, const char*> kListedNames[] = {
    {0, "Adindan Burkina Faso"},
    {1, "Adindan Ethiopia"},
    {2, "Adindan Ethiopia Sudan"},
    {3, "Adindan Mali"},
    {4, "Adindan Regional Mean"},
    {5, "Adindan Senegal"},
    {6, "Adindan Sudan"},
    {7, "Adindan Cameroon"},
    {8, "Afgooye Somalia"},
    {9, "Ain el Abd 1970 Bahrain"},
    {10, "Ain el Abd 1970 Saudi Arabia"},
    {11, "American Samoa 1962 Samoa Islands"},
    {12, "Anna 1 Astro 1965 Cocos Islands"},
    {13, "Antigua Island Astro 1965 Leward Islands"},
    {14, "Arc 1950 Botswana"},
    {15, "Arc 1950 Burundi"},
    {16, "Arc 1950 Lesotho"},
    {17, "Arc 1950 Malawi"},
    {18, "Arc 1950 Regional Mean"},
    {19, "Arc 1950 Swaziland"},
    {20, "Arc 1950 Zaire"},
    {21, "Arc 1950 Zambia"},
    {22, "Arc 1950 Zimbabwe"},
    {23, "Arc 1960 Kenya"},
    {24, "Arc 1960 Kenya Tanzania"},
    {25, "Arc 1960 Tanzania"},
    {26, "Ascension Island 1958"},
    {27, "Astro Beacon E 1945 Iwo Jima"},
    {28, "Astro DOS 71 4 St Helena Island"},
    {29, "Astro Tern Island FRIG 1961"},
    {30, "Astronomical Station 1952 Marcus Island"},
    {31, "Australian Geodetic 1966"},
    {32, "Australian Geodetic 1984"},
    {33, "Ayabelle Lighthouse Djibouti"},
    {34, "Bellevue IGN"},
    {35, "Bermuda 1957 Bermuda"},
    {36, "Bissau Guinea Bissu"},
    {37, "Bogota Observatory Colombia"},
    {38, "Bukit Rimpah Indonesia"},
    {39, "Camp Area Astro Antarctica"},
    {40, "Campo_Inchauspe_Argentina"},
    {41, "Canton_Astro_1966_Phoenix_Islands"},
    {42, "Cap South Africa"},
    {43, "Cape Canaveral Bahamas Florida"},
    {44, "Carthage Tunisia"},
    {45, "Chatham Island Astro 1971 New Zealand"},
    {46, "Chua Astro Paraguay"},
    {47, "Corrego Alegre Brazil"},
    {48, "Dabola Guinea"},
    {49, "Deception Island Deception Island"},
    {50, "Djakarta Batavia"},
    {51, "DOS 1968 New Georgia Islands"},
    {52, "Easter Island 1967 Easter Island"},
    {53, "Estonia Coordinate System 1937"},
    {54, "European 1950 Cyprus"},
    {55, "European 1950 Eastern Regional Mean"},
    {56, "European 1950 Egypt"},
    {57, "European 1950 Finland Norway"},
    {58, "European 1950 Greece"},
    {59, "European 1950 Iran"},
    {60, "European 1950 Italy Sardinia"},
    {61, "European 1950 Italy Sicily"},
    {62, "European 1950 Malta"},
    {63, "European 1950 Northern Regional Mean"},
    {64, "European 1950 Portugal Spain"},
    {65, "European 1950 Southern Regional Mean"},
    {66, "European 1950 Tunisia"},
    {67, "European 1950 Western Regional Mean"},
    {68, "European 1979 Central Regional Mean"},
    {69, "Fort Thomas 1955 Nevis St Kitts"},
    {70, "Gan 1970 Republic of Maldives"},
    {71, "Geodetic Datum 1949 New Zealand"},
    {72, "Graciosa Base SW 1948 Azores"},
    {73, "Guam 1963 Guam"},
    {74, "Gunung Segara Indonesia"},
    {75, "GUX 1 Astro Guadalcanal Island"},
    {76, "Herat North Afganistan"},
    {77, "Hermannskogel Datum Croatia Serbia"},
    {78, "Hjorsey 1955 Iceland"},
    {79, "Hong Kong 1963 Hong Kong"},
    {80, "Hu Tsu Shan Taiwan"},
    {81, "Indian Bangladesh"},
    {82, "Indian India Nepal"},
    {83, "Indian Pakistan"},
    {84, "Indian 1954 Thailand Vietnam"},
    {85, "Indian 1960"},
    {86, "Indian 1960 Vietnam Con Son Islands"},
    {87, "Indian 1975 Thailand"},
    {88, "Indonesian 1974 Indonesia"},
    {89, "Ireland 1965 Ireland"},
    {90, "ISTS 061 Astro 1968 South Georgia Islands"},
    {91, "ISTS 073 Astro 1969 Diego Garcia"},
    {92, "Johnston Island 1961 Johnston Island"},
    {93, "Kandawala Sri Lanka"},
    {94, "Kerguelen Island 1949"},
    {95, "Kertau 1948 West Malaysia And Singapore"},
    {96, "Korean Geodetic System South Korea"},
    {97, "Kusaie Astro 1951 Caroline Islands"},
    {98, "L C 5 Astro 1961 Cayman Brac Islands"},
    {99, "Legion Ghana"},
    {110, "MPoralokoGabon"},
    {111, "Nahrwan Oman Masirah Island"},
    {112, "Nahrwan Saudi Arabia"},
    {113, "Nahrwan United Arab Emirates"},
    {114, "Naparima BWI Trinidad And Tobago"},
    {115, "North American 1927 Alaska"},
    {116, "North American 1927 Alaska Aleutian Islands E"},
    {117, "North American 1927 Alaska Aleutian Islands W"},
    {118, "North American 1927 Bahamas"},
    {119, "North American 1927 Bahamas San Salvador"},
    {120, "North American 1927 Canada Yukon"},
    {121, "North American 1927 Canal Zone"},
    {122, "North American 1927 Central America"},
    {123, "North American 1927 Central Canada"},
    {124, "North American 1927 Cuba"},
    {125, "North American 1927 East Canada"},
    {126, "North American 1927 East of Mississippi"},
    {127, "North American 1927 Greenland"},
    {128, "North American 1927 Gulf of Mexico"},
    {129, "North American 1927 Mean for Canada"},
    {130, "North American 1927 Mean for Conus"},
    {131, "North American 1927 Mexico"},
    {132, "North American 1927 Northwest Canada"},
    {133, "North American 1927 West Canada"},
    {134, "North American 1927 West of Mississippi"},
    {135, "North American 1983 Alaska Canada Conus"},
    {136, "North American 1983 Aleutian Islands"},
    {137, "North American 1983 Central America Mexico"},
    {138, "North American 1983 Hawaii"},
    {139, "North Sahara Algeria"},
    {140, "Observatorio Metereo 1939 Azores"},
    {141, "Old Egyptian 1907 Egypt"},
    {142, "Old Hawaiian Hawaii"},
    {143, "Old Hawaiian Kauai"},
    {144, "Old Hawaiian Maui"},
    {145, "Old Hawaiian Oahu"},
    {146, "Old Hawaiian Regional Mean"},
    {147, "OmanOman"},
    {148, "Ord Survey Great Britain 1936 England"},
    {149, "Ord Survey Great Britain 1936 Isle of Man"},
    {150, "Ord Survey Great Britain 1936 Regional Mean"},
    {151, "Ord Survey Great Britain 1936 Scotland Shetland"},
    {152, "Ord Survey Great Britain 1936 Wales"},
    {153, "Pico de las Nieves Canary Islands"},
    {154, "Pitcairn Astro 1967 Pitcairn Island"},
    {155, "Point 58 Mean for Burkina Faso And Niger"},
    {156, "Pointe Noire 1948 Congo"},
    {157, "Porto Santo 1936 Maderia Islands"},
    {158, "Provisional South American 1956 Bolivia"},
    {159, "Provisional South American 1956 Chile Northern"},
    {160, "Provisional South American 1956 Chile Southern"},
    {161, "Provisional South American 1956 Colombia"},
    {162, "Provisional South American 1956 Ecuador"},
    {163, "Provisional South American 1956 Guyana"},
    {164, "Provisional South American 1956 Peru"},
    {165, "Provisional South American 1956 Regional Mean"},
    {166, "Provisional South American 1956 Venezuela"},
    {167, "Provisional South Chilean 1963 Chile"},
    {168, "Puerto Rico Virgin Islands"},
    {169, "Pulkovo 1942 Russia"},
    {170, "Qatar National Qatar"},
    {171, "Qornoq Greenland South"},
    {172, "Reunion Mascarene Islands"},
    {173, "Rome 1940 Italy Sardinia"},
    {174, "S 42 Pulkovo 1942 Albania"},
    {175, "S 42 Pulkovo 1942 Czechoslovakia"},
    {176, "S 42 Pulkovo 1942 Hungary"},
    {177, "S 42 Pulkovo 1942 Kazakhstan"},
    {178, "S 42 Pulkovo 1942 Latvia"},
    {179, "S 42 Pulkovo 1942 Poland"},
    {180, "S 42 Pulkovo 1942 Romania"},
    {181, "Santo DOS 1965 Espirito Santo Island"},
    {182, "Sao Braz Azores"},
    {183, "Sapper Hill 1943 East Falkland Island"},
    {184, "Schwarzeck Namibia"},
    {185, "Selvagem Grande Salvage Islands"},
    {186, "SGS 85 Soviet Geodetic system 1985"},
    {187, "Sierra Leone 1960 Sierra Leone"},
    {188, "S JTSK Czechoslovakia prior to Jan 1993"},
    {189, "South American 1969 Argentina"},
    {190, "South American 1969 Bolivia"},
    {191, "South American 1969 Brazil"},
    {192, "South American 1969 Chile"},
    {193, "South American 1969 Colombia"},
    {194, "South American 1969 Ecuador"},
    {195, "South American 1969 Ecuador Baltra Galapagos"},
    {196, "South American 1969 Guyana"},
    {197, "South American 1969 Paraguay"},
    {198, "South American 1969 Peru"},
    {199, "South American 1969 Regional Mean"},
    {200, "South American 1969 Trinidad And Tobago"},
    {201, "South American 1969 Venezuela"},
    {202, "South Asia Singapore"},
    {203, "Tananarive Observatory 1925 Madagascar"},
    {204, "Timbalai 1948 Brunei East Malaysia"},
    {205, "Tokyo Japan"},
    {206, "Tokyo Korea"},
    {207, "Tokyo Okinawa"},
    {208, "Tokyo Regional Mean"},
    {209, "Tokyo South Korea"},
    {210, "Tristan Astro 1968 Tristan da Cunha"},
    {211, "Viti Levu Fiji"},
    {212, "Voirol 1960 Algeria"},
    {213, "Wake Island Astro 1952 Wake Atoll"},
    {214, "Wake Eniwetok 1960 Marshall Islands"},
    {215, "WGS 1972 Global Definition"},
    {216, "WGS 1984 Global Definition"},
    {217, "Yacare Uruguay"},
    {218, "Zanderij Suriname"},
    {500, "User Defined Datum"},
};

TEST(DatumCatalogue, NamesExactlyAsListed) {
  ASSERT_EQ(std::size(kListedNames), 210u);
  for (const auto& [number, name] : kListedNames) {
    const int row = number == 500 ? 219 : number;
    EXPECT_EQ(Catalogue::Datums()[row].number, number);
    EXPECT_EQ(Catalogue::Datums()[row].name, name) << "row " << row;
  }
}

struct TellingRow {
  int row, number;
  const char* name;
  int dx, dy, dz, ellipsoid;
};

TEST(DatumCatalogue, FixedRows) {
  const TellingRow rows[] = {
      {0, 0, "Adindan Burkina Faso", -118, -14, 218, 6},
      {7, 7, "Adindan Cameroon", -134, -2, 210, 6},
      {8, 8, "Afgooye Somalia", -43, -163, 45, 19},
      {96, 96, "Korean Geodetic System South Korea", 0, 0, 0, 15},
      {97, 97, "Kusaie Astro 1951 Caroline Islands", 647, 1777, -1124, 18},
      {99, 99, "Legion Ghana", -130, 29, 364, 6},
      {110, 110, "MPoralokoGabon", -74, -130, 42, 6},
      {172, 172, "Reunion Mascarene Islands", 94, -948, -1262, 18},
      {205, 205, "Tokyo Japan", -148, 507, 685, 3},
      {215, 215, "WGS 1972 Global Definition", 0, 0, 0, 24},
      {216, 216, "WGS 1984 Global Definition", 0, 0, 0, 25},
      {219, 500, "User Defined Datum", 0, 0, 0, 26},
  };
  for (const TellingRow& t : rows) {
    const DatumEntry& d = Catalogue::Datum(t.row);
    EXPECT_EQ(d.number, t.number) << t.row;
    EXPECT_EQ(d.name, t.name) << t.row;
    EXPECT_EQ(d.dx, t.dx) << t.row;
    EXPECT_EQ(d.dy, t.dy) << t.row;
    EXPECT_EQ(d.dz, t.dz) << t.row;
    EXPECT_EQ(d.ellipsoid, t.ellipsoid) << t.row;
  }
}

TEST(DatumCatalogue, TokyoRowsStaySeparate) {
  std::set<std::string_view> names;
  for (int row = 205; row <= 209; ++row) {
    const DatumEntry& d = Catalogue::Datum(row);
    EXPECT_EQ(d.number, row);
    EXPECT_EQ(d.name.substr(0, 6), "Tokyo ") << row;
    names.insert(d.name);
  }
  EXPECT_EQ(names.size(), 5u);
}

TEST(DatumCatalogue, Ellipsoids) {
  const EllipsoidEntry expected[] = {
      {"Airy", 9324965, 7563396},
      {"Airy Modified", 9324965, 7340189},
      {"Australian National", 8250000, 8160000},
      {"Bessel 1841", 9152813, 7397155},
      {"Bessel 1841 Namibia", 9152813, 7483865},
      {"Clarke 1866", 4978698, 8206400},
      {"Clarke 1880", 3465000, 8249145},
      {"Everest Sabah And Sarawak", 10801700, 7298556},
      {"Everest 1830", 10801700, 7276345},
      {"Everest 1948", 10801700, 7304063},
      {"Everest 1956", 10801700, 7301243},
      {"Everest 1969", 10801700, 7295664},
      {"Fischer 1960", 8300000, 8166000},
      {"Fischer 1960 Modified", 8300000, 8155000},
      {"Fischer 1968", 8300000, 8150000},
      {"GRS 1980", 8257222, 8137000},
      {"Helmert 1906", 8300000, 8200000},
      {"Hough", 7000000, 8270000},
      {"international", 7000000, 8388000},
      {"Krassovsky 1940", 8300000, 8245000},
      {"SGS 85", 8257000, 8136000},
      {"South American 1969", 8250000, 8160000},
      {"WGS 60", 8300000, 8165000},
      {"WGS 66", 8250000, 8145000},
      {"WGS 72", 8260000, 8135000},
      {"WGS 84", 8257224, 8137000},
      {"", 8257224, 8137000},
  };
  ASSERT_EQ(std::size(expected), Catalogue::Ellipsoids().size());
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const EllipsoidEntry& e = Catalogue::Ellipsoids()[i];
    EXPECT_EQ(e.name, expected[i].name) << i;
    EXPECT_EQ(e.inverseFlatteningCode, expected[i].inverseFlatteningCode) << i;
    EXPECT_EQ(e.semiMajorAxisCode, expected[i].semiMajorAxisCode) << i;
  }
}

TEST(DatumCatalogue, ListTexts) {
  EXPECT_EQ(Catalogue::ListText(0), "  0 Adindan Burkina Faso Clarke 1880");
  EXPECT_EQ(Catalogue::ListText(8), "  8 Afgooye Somalia Krassovsky 1940");
  EXPECT_EQ(Catalogue::ListText(96), " 96 Korean Geodetic System South Korea GRS 1980");
  EXPECT_EQ(Catalogue::ListText(216), "216 WGS 1984 Global Definition WGS 84");
  EXPECT_EQ(Catalogue::ListText(219), "500 User Defined Datum ");  // the ellipsoid has no name
}

TEST(DatumCatalogue, RowsOutsideTheTableTakeTheNearest) {
  EXPECT_EQ(Catalogue::Datum(-1).number, 0);
  EXPECT_EQ(Catalogue::Datum(220).number, 500);
}

}  // namespace
}  // namespace dialogs
