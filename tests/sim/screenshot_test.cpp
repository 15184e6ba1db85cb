#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "sim/render/cairo_handles.h"
#include "sim/render/frame_image.h"
#include "sim/scenario/runner.h"
#include "sim/scenario/scenario.h"
#include "support/temp_folder.h"

namespace pilfern::sim {
namespace {

// A 1024x768 game drawn at its own size, so that a game pixel is a picture pixel: a virtual
// x is x / 8 pixels, a virtual y is y × 768 / 8192. The hero key-loots a club (a weapon, cyan
// here), switches auto-loot on, which takes the gold 300 units ahead (plain, magenta) and
// marks the spot with a 64-pixel blue square, then shows the history.
constexpr std::string_view kCamp = R"({
  "screen": {"width": 1024, "height": 768},
  "files": {"System/Gothic.ini": "[VARKO_UNION_PILFERN]\nstartQuickLootTextPosX=800\nstartQuickLootTextPosY=4000\nquickLootTimeDelay=20000\ncolorQuickLoot=255,0,255\ncolorQuickLootWeapon=0,255,255\ntextureIdx=1\nsizeTarget=64\nneedDirectViewAutoloot=0\n"},
  "instances": {"ITMI_GOLD": {"name": "Gold"},
                "ITMW_1H_BAU_MACE": {"name": "Club", "category": "0x2"}},
  "world": {
    "player": {"id": "hero", "instance": "PC_HERO", "position": [0, 0, 0], "focusList": []},
    "items": [{"id": "club", "instance": "ITMW_1H_BAU_MACE", "position": [-200, 0, 200]},
              {"id": "gold", "instance": "ITMI_GOLD", "amount": 5, "position": [0, 0, 300]}]
  },
  "timeline": [
    {"frames": 2},
    {"world": {"npcs": [{"id": "hero", "focus": "club"}]}},
    {"frames": 1, "hold": ["KEY_V"]},
    {"screenshot": "before-auto-loot"},
    {"frames": 2, "hold": ["KEY_RSHIFT"], "press": ["KEY_APOSTROPHE"]},
    {"frames": 52, "ms": 100},
    {"screenshot": "without-overlay"},
    {"frames": 1, "hold": ["KEY_RSHIFT"], "press": ["KEY_SEMICOLON"]},
    {"screenshot": "with-overlay"}
  ]
})";

constexpr Rgb kCyan{0, 255, 255};
constexpr Rgb kMagenta{255, 0, 255};

// A screenshot read back from its PNG.
class Picture {
public:
    explicit Picture(const std::filesystem::path& file)
        : surface_(cairo_image_surface_create_from_png(file.string().c_str())) {}

    [[nodiscard]] bool Read() const {
        return cairo_surface_status(surface_.get()) == CAIRO_STATUS_SUCCESS;
    }
    [[nodiscard]] Rgb At(int x, int y) const {
        const unsigned char* row =
            cairo_image_surface_get_data(surface_.get()) +
            static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface_.get());
        std::uint32_t pixel = 0;
        std::copy_n(row + static_cast<std::ptrdiff_t>(x) * 4, 4,
                    reinterpret_cast<unsigned char*>(&pixel));
        return {static_cast<std::uint8_t>(pixel >> 16U), static_cast<std::uint8_t>(pixel >> 8U),
                static_cast<std::uint8_t>(pixel)};
    }
    // Whether a pixel of the box [x0, x1) × [y0, y1) has the colour, give or take what the
    // edges of a glyph blend in.
    [[nodiscard]] bool Holds(int x0, int y0, int x1, int y1, Rgb colour) const {
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                const Rgb seen = At(x, y);
                if (std::abs(seen.r - colour.r) <= 40 && std::abs(seen.g - colour.g) <= 40 &&
                    std::abs(seen.b - colour.b) <= 40) {
                    return true;
                }
            }
        }
        return false;
    }

private:
    SurfaceHandle surface_;
};

int Brightness(Rgb colour) {
    return colour.r + colour.g + colour.b;
}

bool Blue(Rgb colour) {
    return colour.b > 200 && colour.r < 100 && colour.g < 170;
}

// The backdrop's ground items: a warm yellow disc.
bool Gold(Rgb colour) {
    return colour.r > 150 && colour.r > colour.g && colour.g > colour.b + 40;
}

// The camp played once, its two screenshots kept for every test.
class Screenshot : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<test::TempFolder>();
        folder_->Write("camp.json", kCamp);
        RunOptions options;
        options.json = true;
        options.shotsDir = folder_->Path() / "shots";
        std::ostringstream out;
        RunScenario(LoadScenario(folder_->Path() / "camp.json"), options, out);
        log_ = out.str();
    }
    static void TearDownTestSuite() { folder_.reset(); }

    static Picture Shot(const std::string& name) {
        Picture picture(folder_->Path() / "shots" / (name + ".png"));
        EXPECT_TRUE(picture.Read()) << name << " was not written; the run said:\n" << log_;
        return picture;
    }

    static std::unique_ptr<test::TempFolder> folder_;
    static std::string log_;
};

std::unique_ptr<test::TempFolder> Screenshot::folder_;
std::string Screenshot::log_;

TEST_F(Screenshot, TellsTheFilesItWrote) {
    EXPECT_NE(log_.find(R"("event":"screenshot","name":"with-overlay","file":")"),
              std::string::npos)
        << log_;
}

TEST_F(Screenshot, MessageRowsStandWhereTheOptionsPutThemInTheirCategoryColours) {
    const Picture picture = Shot("with-overlay");
    // The first row's top at y 4000 - 50, 20 pixels high; the newer row one line above it.
    EXPECT_TRUE(picture.Holds(100, 370, 170, 391, kCyan));
    EXPECT_FALSE(picture.Holds(100, 370, 170, 391, kMagenta));
    EXPECT_TRUE(picture.Holds(100, 350, 170, 370, kMagenta));
    EXPECT_FALSE(picture.Holds(100, 350, 170, 370, kCyan));
    // Nothing above the rows, nor left of where they start.
    EXPECT_FALSE(picture.Holds(60, 320, 200, 349, kMagenta));
    EXPECT_FALSE(picture.Holds(60, 340, 99, 400, kCyan));
}

TEST_F(Screenshot, TheHistoryPanelIsCentredAndDarkensOnlyWhatItCovers) {
    const Picture without = Shot("without-overlay");
    const Picture with = Shot("with-overlay");
    // Two rows: the panel spans y 3703 to 4489 (pixels 347 to 421) around the centre; the
    // points lie in its margins, above and below the text.
    for (const auto& [x, y] :
         {std::pair{512, 356}, std::pair{472, 356}, std::pair{552, 356}, std::pair{512, 416}}) {
        EXPECT_LT(Brightness(with.At(x, y)) * 10, Brightness(without.At(x, y)) * 6)
            << "at " << x << ", " << y;
    }
    for (const auto& [x, y] : {std::pair{512, 338}, std::pair{512, 427}}) {
        EXPECT_EQ(with.At(x, y), without.At(x, y)) << "at " << x << ", " << y;
    }
}

TEST_F(Screenshot, AMarkerIsCentredOnThePlaceAutoLootTookFrom) {
    const Picture picture = Shot("without-overlay");
    // The camera stands 300 behind and 150 above the hero: the gold, 600 ahead of it and 150
    // below its eyes, lands at (512, 384 + 150 × 512 / 600) = (512, 512). The square covers
    // 64 pixels, x 480 to 544.
    EXPECT_TRUE(Blue(picture.At(512, 512)));
    EXPECT_TRUE(Blue(picture.At(481, 512)));
    EXPECT_TRUE(Blue(picture.At(542, 512)));
    EXPECT_TRUE(Blue(picture.At(512, 481)));
    EXPECT_FALSE(Blue(picture.At(475, 512)));
    EXPECT_FALSE(Blue(picture.At(549, 512)));
    EXPECT_FALSE(Blue(picture.At(512, 550)));
}

// The backdrop is drawn through the camera and projection that place the markers: the gold's
// disc lies, before auto-loot takes it, where the marker's centre stands afterwards.
TEST_F(Screenshot, TheBackdropShowsTheItemWhereItsMarkerWillStand) {
    const Picture before = Shot("before-auto-loot");
    for (const auto& [x, y] : {std::pair{512, 512}, std::pair{508, 510}, std::pair{516, 514}}) {
        EXPECT_TRUE(Gold(before.At(x, y))) << "at " << x << ", " << y;
    }
    for (const auto& [x, y] : {std::pair{490, 512}, std::pair{534, 512}, std::pair{512, 534}}) {
        EXPECT_FALSE(Gold(before.At(x, y))) << "at " << x << ", " << y;
    }
    EXPECT_FALSE(Blue(before.At(512, 512))) << "no marker before the take";
}

}  // namespace
}  // namespace pilfern::sim
