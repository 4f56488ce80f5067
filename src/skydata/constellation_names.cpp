#include "skydata/constellation_names.h"

namespace celes {

namespace {

// Names in Shift-JIS, written as byte escapes so the table does not depend on the source encoding.
constexpr std::array<ConstellationEntry, kConstellationCount> kTable = {{
    {"And", "\x83\x41\x83\x93\x83\x68\x83\x8D\x83\x81\x83\x5F"},                  // アンドロメダ
    {"Ant", "\x83\x7C\x83\x93\x83\x76"},                                          // ポンプ
    {"Aps", "\x82\xD3\x82\xA4\x82\xBF\x82\xE5\x82\xA4"},                          // ふうちょう
    {"Aqr", "\x82\xDD\x82\xB8\x82\xAA\x82\xDF"},                                  // みずがめ
    {"Aql", "\x82\xED\x82\xB5"},                                                  // わし
    {"Ara", "\x82\xB3\x82\xA2\x82\xBE\x82\xF1"},                                  // さいだん
    {"Ari", "\x82\xA8\x82\xD0\x82\xC2\x82\xB6"},                                  // おひつじ
    {"Aur", "\x82\xAC\x82\xE5\x82\xB5\x82\xE1"},                                  // ぎょしゃ
    {"Boo", "\x82\xA4\x82\xB5\x82\xA9\x82\xA2"},                                  // うしかい
    {"Cae", "\x82\xBF\x82\xE5\x82\xA4\x82\xB1\x82\xAD\x82\xAE"},                  // ちょうこくぐ
    {"Cam", "\x82\xAB\x82\xE8\x82\xF1"},                                          // きりん
    {"Cnc", "\x82\xA9\x82\xC9"},                                                  // かに
    {"CVn", "\x82\xE8\x82\xE5\x82\xA4\x82\xAF\x82\xF1"},                          // りょうけん
    {"CMa", "\x82\xA8\x82\xA8\x82\xA2\x82\xCA"},                                  // おおいぬ
    {"CMi", "\x82\xB1\x82\xA2\x82\xCA"},                                          // こいぬ
    {"Cap", "\x82\xE2\x82\xAC"},                                                  // やぎ
    {"Car", "\x82\xE8\x82\xE3\x82\xA4\x82\xB1\x82\xC2"},                          // りゅうこつ
    {"Cas", "\x83\x4A\x83\x56\x83\x49\x83\x79\x83\x41"},                          // カシオペア
    {"Cen", "\x83\x50\x83\x93\x83\x5E\x83\x45\x83\x8B\x83\x58"},                  // ケンタウルス
    {"Cep", "\x83\x50\x83\x74\x83\x46\x83\x45\x83\x58"},                          // ケフェウス
    {"Cet", "\x82\xAD\x82\xB6\x82\xE7"},                                          // くじら
    {"Cha", "\x83\x4A\x83\x81\x83\x8C\x83\x49\x83\x93"},                          // カメレオン
    {"Cir", "\x83\x52\x83\x93\x83\x70\x83\x58"},                                  // コンパス
    {"Col", "\x82\xCD\x82\xC6"},                                                  // はと
    {"Com", "\x82\xA9\x82\xDD\x82\xCC\x82\xAF"},                                  // かみのけ
    {"CrA", "\x82\xDD\x82\xC8\x82\xDD\x82\xCC\x82\xA9\x82\xF1\x82\xDE\x82\xE8"},  // みなみのかんむり
    {"CrB", "\x82\xA9\x82\xF1\x82\xDE\x82\xE8"},                                  // かんむり
    {"Crv", "\x82\xA9\x82\xE7\x82\xB7"},                                          // からす
    {"Crt", "\x83\x52\x83\x62\x83\x76"},                                          // コップ
    {"Cru", "\x82\xDD\x82\xC8\x82\xDD\x82\xB6\x82\xE3\x82\xA4\x82\xB6"},          // みなみじゅうじ
    {"Cyg", "\x82\xCD\x82\xAD\x82\xBF\x82\xE5\x82\xA4"},                          // はくちょう
    {"Del", "\x82\xA2\x82\xE9\x82\xA9"},                                          // いるか
    {"Dor", "\x82\xA9\x82\xB6\x82\xAB"},                                          // かじき
    {"Dra", "\x82\xE8\x82\xE3\x82\xA4"},                                          // りゅう
    {"Equ", "\x82\xB1\x82\xA4\x82\xDC"},                                          // こうま
    {"Eri", "\x83\x47\x83\x8A\x83\x5F\x83\x6B\x83\x58"},                          // エリダヌス
    {"For", "\x82\xEB"},                                                          // ろ
    {"Gem", "\x82\xD3\x82\xBD\x82\xB2"},                                          // ふたご
    {"Gru", "\x82\xC2\x82\xE9"},                                                  // つる
    {"Her", "\x83\x77\x83\x8B\x83\x4E\x83\x8C\x83\x58"},                          // ヘルクレス
    {"Hor", "\x82\xC6\x82\xAF\x82\xA2"},                                          // とけい
    {"Hya", "\x82\xA4\x82\xDD\x82\xD6\x82\xD1"},                                  // うみへび
    {"Hyi", "\x82\xDD\x82\xB8\x82\xD6\x82\xD1"},                                  // みずへび
    {"Ind", "\x83\x43\x83\x93\x83\x66\x83\x42\x83\x41\x83\x93"},                  // インディアン
    {"Lac", "\x82\xC6\x82\xA9\x82\xB0"},                                          // とかげ
    {"Leo", "\x82\xB5\x82\xB5"},                                                  // しし
    {"LMi", "\x82\xB1\x82\xB6\x82\xB5"},                                          // こじし
    {"Lep", "\x82\xA4\x82\xB3\x82\xAC"},                                          // うさぎ
    {"Lib", "\x82\xC4\x82\xF1\x82\xD1\x82\xF1"},                                  // てんびん
    {"Lup", "\x82\xA8\x82\xA8\x82\xA9\x82\xDD"},                                  // おおかみ
    {"Lyn", "\x82\xE2\x82\xDC\x82\xCB\x82\xB1"},                                  // やまねこ
    {"Lyr", "\x82\xB1\x82\xC6"},                                                  // こと
    {"Men", "\x83\x65\x81\x5B\x83\x75\x83\x8B\x82\xB3\x82\xF1"},                  // テーブルさん
    {"Mic", "\x82\xAF\x82\xF1\x82\xD1\x82\xAB\x82\xE5\x82\xA4"},                  // けんびきょう
    {"Mon", "\x82\xA2\x82\xC1\x82\xA9\x82\xAD\x82\xB6\x82\xE3\x82\xA4"},          // いっかくじゅう
    {"Mus", "\x82\xCD\x82\xA6"},                                                  // はえ
    {"Nor", "\x82\xB6\x82\xE5\x82\xA4\x82\xAC"},                                  // じょうぎ
    {"Oct", "\x82\xCD\x82\xBF\x82\xD4\x82\xF1\x82\xAC"},                          // はちぶんぎ
    {"Oph", "\x82\xD6\x82\xD1\x82\xC2\x82\xA9\x82\xA2"},                          // へびつかい
    {"Ori", "\x83\x49\x83\x8A\x83\x49\x83\x93"},                                  // オリオン
    {"Pav", "\x82\xAD\x82\xB6\x82\xE1\x82\xAD"},                                  // くじゃく
    {"Peg", "\x83\x79\x83\x4B\x83\x58\x83\x58"},                                  // ペガスス
    {"Per", "\x83\x79\x83\x8B\x83\x5A\x83\x45\x83\x58"},                          // ペルセウス
    {"Phe", "\x82\xD9\x82\xA4\x82\xA8\x82\xA4"},                                  // ほうおう
    {"Pic", "\x82\xAA\x82\xA9"},                                                  // がか
    {"Psc", "\x82\xA4\x82\xA8"},                                                  // うお
    {"PsA", "\x82\xDD\x82\xC8\x82\xDD\x82\xCC\x82\xA4\x82\xA8"},                  // みなみのうお
    {"Pup", "\x82\xC6\x82\xE0"},                                                  // とも
    {"Pyx", "\x82\xE7\x82\xB5\x82\xF1\x82\xCE\x82\xF1"},                          // らしんばん
    {"Ret", "\x83\x8C\x83\x60\x83\x4E\x83\x8B"},                                  // レチクル
    {"Sge", "\x82\xE2"},                                                          // や
    {"Sgr", "\x82\xA2\x82\xC4"},                                                  // いて
    {"Sco", "\x82\xB3\x82\xBB\x82\xE8"},                                          // さそり
    {"Scl", "\x82\xBF\x82\xE5\x82\xA4\x82\xB1\x82\xAD\x82\xB5\x82\xC2"},          // ちょうこくしつ
    {"Sct", "\x82\xBD\x82\xC4"},                                                  // たて
    {"Ser", "\x82\xD6\x82\xD1"},                                                  // へび
    {"Ser", "\x82\xD6\x82\xD1"},                                                  // へび
    {"Sex", "\x82\xEB\x82\xAD\x82\xD4\x82\xF1\x82\xAC"},                          // ろくぶんぎ
    {"Tau", "\x82\xA8\x82\xA4\x82\xB5"},                                          // おうし
    {"Tel", "\x82\xDA\x82\xA4\x82\xA6\x82\xF1\x82\xAB\x82\xE5\x82\xA4"},          // ぼうえんきょう
    {"TrA", "\x82\xDD\x82\xC8\x82\xDD\x82\xCC\x82\xB3\x82\xF1\x82\xA9\x82\xAD"},  // みなみのさんかく
    {"Tri", "\x82\xB3\x82\xF1\x82\xA9\x82\xAD"},                                  // さんかく
    {"Tuc", "\x82\xAB\x82\xE5\x82\xB5\x82\xBF\x82\xE5\x82\xA4"},                  // きょしちょう
    {"UMa", "\x82\xA8\x82\xA8\x82\xAE\x82\xDC"},                                  // おおぐま
    {"UMi", "\x82\xB1\x82\xAE\x82\xDC"},                                          // こぐま
    {"Vel", "\x82\xD9"},                                                          // ほ
    {"Vir", "\x82\xA8\x82\xC6\x82\xDF"},                                          // おとめ
    {"Vol", "\x82\xC6\x82\xD1\x82\xA4\x82\xA8"},                                  // とびうお
    {"Vul", "\x82\xB1\x82\xAC\x82\xC2\x82\xCB"},                                  // こぎつね
}};

}  // namespace

const std::array<ConstellationEntry, kConstellationCount>& ConstellationTable() {
    return kTable;
}

const std::array<ConstellationEntry, kZodiacCount>& ZodiacTable() {
    static const std::array<ConstellationEntry, kZodiacCount> zodiac = [] {
        constexpr int kIndexes[kZodiacCount] = {3, 6, 11, 15, 37, 45, 48, 65, 71, 72, 78, 86};
        std::array<ConstellationEntry, kZodiacCount> z{};
        for (int i = 0; i < kZodiacCount; ++i) z[static_cast<std::size_t>(i)] = kTable[kIndexes[i]];
        return z;
    }();
    return zodiac;
}

int FindConstellationName(std::string_view abbreviation, std::string& name) {
    if (abbreviation.size() < 3 || abbreviation[0] == ' ') return -1;
    for (int i = 0; i < kConstellationCount; ++i) {
        const char* a = kTable[static_cast<std::size_t>(i)].abbreviation;
        if (abbreviation.substr(0, 3) == std::string_view(a, 3)) {
            name += kTable[static_cast<std::size_t>(i)].name;
            return i;
        }
    }
    return -1;
}

}  // namespace celes
