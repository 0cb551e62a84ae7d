// FreeType and fontconfig behind the Font interface.
#include "os/text_font.h"

#include <strings.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>

namespace os::text {

char32_t UnicodeFromCp1252(unsigned char c) {
    // 0x80..0x9F differ from Latin-1; the five unassigned bytes keep their value.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80];
    return c;
}

namespace {

constexpr double kDpi = 96.0;

struct FaceFile {
    std::string path;
    int index = 0;
    bool synthetic_bold = false, synthetic_italic = false;
};

// Asks fontconfig which file serves the face, and whether bold or italic must be faked.
std::optional<FaceFile> MatchFace(const FontKey& key) {
    // fontconfig's state is released at exit so leak checkers see a clean process.
    static const bool ready = [] {
        if (!FcInit()) return false;
        std::atexit(FcFini);
        return true;
    }();
    if (!ready) return std::nullopt;
    FcPattern* pattern = FcPatternCreate();
    // The classic dialog face is narrow; the generic sans face fontconfig would give for it
    // is wide enough to cut captions sized for it. Prefer faces with its proportions.
    if (strcasecmp(key.face.c_str(), "MS Sans Serif") == 0) {
        for (const char* narrow : {"Liberation Sans", "Arimo", "DejaVu Sans Condensed"})
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(narrow));
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(key.face.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, key.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, key.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return std::nullopt;
    std::optional<FaceFile> out;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        FaceFile f;
        f.path = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &f.index);
        int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        f.synthetic_bold = key.bold && weight < FC_WEIGHT_DEMIBOLD;
        f.synthetic_italic = key.italic && slant == FC_SLANT_ROMAN;
        out = f;
    }
    FcPatternDestroy(match);
    return out;
}

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
        return lib;
    }();
    return library;
}

// Each face file is opened once; sizes are separate FT_Size objects on the shared face.
FT_Face OpenFace(const std::string& path, int index) {
    static std::map<std::pair<std::string, int>, FT_Face> faces;
    const auto key = std::make_pair(path, index);
    if (auto it = faces.find(key); it != faces.end()) return it->second;
    FT_Face face = nullptr;
    if (!Library() || FT_New_Face(Library(), path.c_str(), index, &face) != 0) face = nullptr;
    faces.emplace(key, face);  // a failure is remembered too
    return face;
}

int CeilPixels(FT_Pos v) { return static_cast<int>((v + 63) >> 6); }

class FreeTypeFont : public Font {
public:
    FreeTypeFont(FT_Face face, FT_Size size, const FaceFile& file)
        : face_(face), size_(size), file_(file) {
        const FT_Size_Metrics& m = size->metrics;
        ascent = CeilPixels(m.ascender);
        descent = std::max(1, CeilPixels(-m.descender));
        const double scale = static_cast<double>(m.y_scale) / 65536.0 / 64.0;
        underline_offset = std::max(1, static_cast<int>(std::lround(-face->underline_position * scale)));
        underline_thickness = std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
        underline_offset = std::min(underline_offset, std::max(1, descent - underline_thickness));
        // Average width: that of the lowercase letters, as captions are mostly made of them.
        int total = 0;
        for (unsigned char c = 'a'; c <= 'z'; ++c) total += GlyphOf(c).advance;
        average_char_width = std::max(1, (total + 13) / 26);
    }

    const Glyph& GlyphOf(unsigned char c) override {
        std::optional<Glyph>& slot = glyphs_[c];
        if (!slot) slot = Render(c);
        return *slot;
    }

private:
    Glyph Render(unsigned char c) {
        Glyph g;
        FT_Activate_Size(size_);
        const FT_UInt index = FT_Get_Char_Index(face_, UnicodeFromCp1252(c));
        if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0) return g;
        FT_GlyphSlot slot = face_->glyph;
        if (file_.synthetic_italic) FT_GlyphSlot_Oblique(slot);
        if (file_.synthetic_bold) FT_GlyphSlot_Embolden(slot);
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return g;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int>(bm.width);
        g.rows = static_cast<int>(bm.rows);
        g.coverage.resize(static_cast<std::size_t>(g.width) * g.rows);
        for (int y = 0; y < g.rows; ++y) {
            const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
            std::copy(src, src + g.width, g.coverage.begin() + static_cast<std::ptrdiff_t>(y) * g.width);
        }
        return g;
    }

    FT_Face face_;
    FT_Size size_;
    FaceFile file_;
    std::array<std::optional<Glyph>, 256> glyphs_;
};

std::unique_ptr<Font> LoadFont(const FontKey& key) {
    const auto file = MatchFace(key);
    if (!file) return nullptr;
    FT_Face face = OpenFace(file->path, file->index);
    if (!face) return nullptr;
    FT_Size size = nullptr;
    if (FT_New_Size(face, &size) != 0) return nullptr;
    FT_Activate_Size(size);
    const FT_F26Dot6 char_size = static_cast<FT_F26Dot6>(std::lround(key.point_size * 64));
    if (FT_Set_Char_Size(face, 0, char_size, static_cast<FT_UInt>(kDpi), static_cast<FT_UInt>(kDpi)) != 0) {
        FT_Done_Size(size);
        return nullptr;
    }
    return std::make_unique<FreeTypeFont>(face, size, *file);
}

}  // namespace

Font* FontFor(const FontKey& key) {
    // Fonts live for the whole run; a face that cannot be loaded is remembered as such.
    static std::map<std::tuple<std::string, double, bool, bool>, std::unique_ptr<Font>> fonts;
    const auto k = std::make_tuple(key.face, key.point_size, key.bold, key.italic);
    auto it = fonts.find(k);
    if (it == fonts.end()) it = fonts.emplace(k, LoadFont(key)).first;
    return it->second.get();
}

}  // namespace os::text
