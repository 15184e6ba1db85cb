// The world behind the plugin's draws on a screenshot. It is faint on purpose: it only shows
// where things stand, so that messages, the overlay and the markers can be judged against it.

#include "sim/render/world_backdrop.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "sim/render/cairo_handles.h"

namespace pilfern::sim {
namespace {

constexpr double kGridStep = 100;      // world units between grid lines
constexpr int kMajorLineEvery = 5;     // every fifth line is brighter
constexpr double kGridReach = 2500;    // how far around the camera the grid goes
constexpr double kHorizonReach = 1e6;  // a point this far ahead lies on the horizon
constexpr float kNpcHeight = 180;
constexpr float kNpcWidth = 60;
constexpr float kItemRadius = 14;
constexpr float kWispRadius = 25;
constexpr float kWispHover = 100;
constexpr int kBodyStateUnconscious = 22;
constexpr int kBodyStateDead = 23;

constexpr Colour kSkyTop{0.07, 0.08, 0.11, 1};
constexpr Colour kSkyHorizon{0.2, 0.22, 0.25, 1};
constexpr Colour kGround{0.12, 0.13, 0.1, 1};
constexpr Colour kGridLine{0.3, 0.32, 0.25, 0.35};
constexpr Colour kGridMajor{0.38, 0.4, 0.31, 0.55};
constexpr Colour kLabel{0.82, 0.82, 0.76, 0.8};
constexpr Colour kLabelShadow{0, 0, 0, 0.7};
constexpr Colour kOutline{0.05, 0.04, 0.03, 0.9};

struct Point {
    double x = 0;
    double y = 0;
};

// How a box is painted: its top face and its sides.
struct BoxColours {
    Colour top;
    Colour side;
};
constexpr BoxColours kWallColours{{0.4, 0.32, 0.22, 0.92}, {0.3, 0.23, 0.15, 0.92}};
constexpr BoxColours kChestColours{{0.6, 0.4, 0.16, 0.95}, {0.46, 0.3, 0.11, 0.95}};
constexpr BoxColours kBodyColours{{0.5, 0.38, 0.33, 0.9}, {0.38, 0.28, 0.25, 0.9}};
constexpr Colour kNpcColour{0.5, 0.46, 0.4, 0.9};
// The player stands between the camera and the world: a see-through figure.
constexpr Colour kPlayerColour{0.4, 0.5, 0.68, 0.18};
constexpr Colour kItemColour{0.85, 0.7, 0.3, 0.9};

zVEC3 Moved(const zVEC3& at, float dx, float dy, float dz) {
    return {at.x + dx, at.y + dy, at.z + dz};
}

// World points through the game camera, as the game last set it up, onto the canvas.
class CameraView {
public:
    CameraView(const Canvas& canvas, const SimEngine& engine)
        : canvas_(canvas), engine_(engine), near_(std::max(engine.camera.nearPlane, 1.0F)) {}

    [[nodiscard]] zVEC3 ToCamera(const zVEC3& world) const {
        const auto& rows = engine_.camera.view.rows;
        const auto row = [&world](const std::array<float, 4>& r) {
            return r[0] * world.x + r[1] * world.y + r[2] * world.z + r[3];
        };
        return {row(rows[0]), row(rows[1]), row(rows[2])};
    }
    [[nodiscard]] bool InFront(const zVEC3& cameraSpace) const { return cameraSpace.z >= near_; }
    [[nodiscard]] Point OnCanvas(const zVEC3& cameraSpace) const {
        const zVEC2 pixel = engine_.Project(engine_.camera, cameraSpace);
        return {canvas_.ScreenX(pixel.x), canvas_.ScreenY(pixel.y)};
    }
    // The part of a flat polygon (world corners in order) in front of the near plane.
    [[nodiscard]] std::vector<Point> Polygon(const std::vector<zVEC3>& corners) const {
        std::vector<Point> kept;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const zVEC3 a = ToCamera(corners[i]);
            const zVEC3 b = ToCamera(corners[(i + 1) % corners.size()]);
            if (InFront(a)) {
                kept.push_back(OnCanvas(a));
            }
            if (InFront(a) != InFront(b)) {
                kept.push_back(OnCanvas(AtNearPlane(a, b)));
            }
        }
        return kept;
    }
    [[nodiscard]] std::optional<std::pair<Point, Point>> Segment(const zVEC3& from,
                                                                 const zVEC3& to) const {
        zVEC3 a = ToCamera(from);
        zVEC3 b = ToCamera(to);
        if (!InFront(a) && !InFront(b)) {
            return std::nullopt;
        }
        if (!InFront(a)) {
            a = AtNearPlane(a, b);
        } else if (!InFront(b)) {
            b = AtNearPlane(a, b);
        }
        return std::pair{OnCanvas(a), OnCanvas(b)};
    }
    // How many canvas pixels a length of world units spans at a depth.
    [[nodiscard]] double Span(float units, float depth) const {
        const zVEC2 a = engine_.Project(engine_.camera, {0, 0, depth});
        const zVEC2 b = engine_.Project(engine_.camera, {units, 0, depth});
        return canvas_.ScreenX(b.x) - canvas_.ScreenX(a.x);
    }

private:
    [[nodiscard]] zVEC3 AtNearPlane(const zVEC3& a, const zVEC3& b) const {
        const float t = (near_ - a.z) / (b.z - a.z);
        return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, near_};
    }

    const Canvas& canvas_;
    const SimEngine& engine_;
    float near_;
};

// Something of the world to draw, and how far from the camera it is.
struct Piece {
    double depth = 0;
    std::function<void()> draw;
};

// A name shown over something of the world.
struct Label {
    Point at;
    std::string text;
};

void FillPolygon(const Canvas& canvas, const std::vector<Point>& points, const Colour& fill) {
    if (points.size() < 3) {
        return;
    }
    cairo_t* cr = canvas.cairo;
    cairo_move_to(cr, points.front().x, points.front().y);
    for (const Point& point : points) {
        cairo_line_to(cr, point.x, point.y);
    }
    cairo_close_path(cr);
    canvas.SetColour(fill);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1);
    canvas.SetColour(kOutline);
    cairo_stroke(cr);
}

void DrawSkyAndGround(const Canvas& canvas, const CameraView& view, const zCCamera& camera) {
    cairo_t* cr = canvas.cairo;
    // The horizon is where a point far ahead along the ground lands.
    double horizon = canvas.size.height / 2.0;
    const double along = std::hypot(camera.direction.x, camera.direction.z);
    if (along > 0) {
        const auto reach = static_cast<float>(kHorizonReach / along);
        const zVEC3 far = view.ToCamera(
            Moved(camera.position, camera.direction.x * reach, 0, camera.direction.z * reach));
        if (view.InFront(far)) {
            horizon =
                std::clamp(view.OnCanvas(far).y, 0.0, static_cast<double>(canvas.size.height));
        }
    }
    canvas.SetColour(kGround);
    cairo_paint(cr);
    const PatternHandle sky(cairo_pattern_create_linear(0, 0, 0, std::max(horizon, 1.0)));
    cairo_pattern_add_color_stop_rgba(sky.get(), 0, kSkyTop.r, kSkyTop.g, kSkyTop.b, kSkyTop.a);
    cairo_pattern_add_color_stop_rgba(sky.get(), 1, kSkyHorizon.r, kSkyHorizon.g, kSkyHorizon.b,
                                      kSkyHorizon.a);
    cairo_rectangle(cr, 0, 0, canvas.size.width, horizon);
    cairo_set_source(cr, sky.get());
    cairo_fill(cr);
}

// Lines along x and along z every kGridStep units, on the ground around `centre`.
void DrawGrid(const Canvas& canvas, const CameraView& view, const zVEC3& centre, float groundY) {
    cairo_t* cr = canvas.cairo;
    cairo_set_line_width(cr, 1);
    const int lines = static_cast<int>(2 * kGridReach / kGridStep) + 1;
    for (const bool alongZ : {true, false}) {
        const double across = alongZ ? centre.x : centre.z;
        const double along = alongZ ? centre.z : centre.x;
        const auto firstLine =
            static_cast<long long>(std::floor((across - kGridReach) / kGridStep));
        const auto from = static_cast<float>(along - kGridReach);
        const auto to = static_cast<float>(along + kGridReach);
        for (long long line = firstLine; line <= firstLine + lines; ++line) {
            const auto at = static_cast<float>(static_cast<double>(line) * kGridStep);
            const zVEC3 a = alongZ ? zVEC3{at, groundY, from} : zVEC3{from, groundY, at};
            const zVEC3 b = alongZ ? zVEC3{at, groundY, to} : zVEC3{to, groundY, at};
            const auto segment = view.Segment(a, b);
            if (!segment) {
                continue;
            }
            canvas.SetColour(line % kMajorLineEvery == 0 ? kGridMajor : kGridLine);
            cairo_move_to(cr, segment->first.x, segment->first.y);
            cairo_line_to(cr, segment->second.x, segment->second.y);
            cairo_stroke(cr);
        }
    }
}

// The six faces of the box between two corners, each a piece of its own, and its label over
// the middle of its top.
void AddBox(std::vector<Piece>& pieces, std::vector<Label>& labels, const Canvas& canvas,
            const CameraView& view, const zVEC3& low, const zVEC3& high, const BoxColours& colours,
            std::string label) {
    const std::array<zVEC3, 8> corner{{{low.x, low.y, low.z},
                                       {high.x, low.y, low.z},
                                       {high.x, low.y, high.z},
                                       {low.x, low.y, high.z},
                                       {low.x, high.y, low.z},
                                       {high.x, high.y, low.z},
                                       {high.x, high.y, high.z},
                                       {low.x, high.y, high.z}}};
    struct Face {
        std::array<int, 4> corners;
        bool top;
    };
    static constexpr std::array<Face, 6> kFaces{{{{0, 1, 2, 3}, false},
                                                 {{4, 5, 6, 7}, true},
                                                 {{0, 1, 5, 4}, false},
                                                 {{1, 2, 6, 5}, false},
                                                 {{2, 3, 7, 6}, false},
                                                 {{3, 0, 4, 7}, false}}};
    for (const Face& face : kFaces) {
        std::vector<zVEC3> corners;
        double depth = 0;
        for (const int index : face.corners) {
            corners.push_back(corner.at(static_cast<std::size_t>(index)));
            depth += view.ToCamera(corners.back()).z / 4.0;
        }
        std::vector<Point> polygon = view.Polygon(corners);
        const Colour fill = face.top ? colours.top : colours.side;
        pieces.push_back({depth, [&canvas, polygon = std::move(polygon), fill] {
                              FillPolygon(canvas, polygon, fill);
                          }});
    }
    const zVEC3 above = view.ToCamera({(low.x + high.x) / 2, high.y, (low.z + high.z) / 2});
    if (view.InFront(above)) {
        labels.push_back({view.OnCanvas(above), std::move(label)});
    }
}

// A standing figure: a body and a head, as tall as an NPC, facing the camera.
void AddFigure(std::vector<Piece>& pieces, std::vector<Label>& labels, const Canvas& canvas,
               const CameraView& view, const zVEC3& feet, const Colour& colour, std::string label) {
    const zVEC3 base = view.ToCamera(feet);
    const zVEC3 crown = view.ToCamera(Moved(feet, 0, kNpcHeight, 0));
    if (!view.InFront(base) || !view.InFront(crown)) {
        return;
    }
    const Point bottom = view.OnCanvas(base);
    const Point top = view.OnCanvas(crown);
    const double width = view.Span(kNpcWidth, base.z);
    pieces.push_back({base.z, [&canvas, bottom, top, width, colour] {
                          cairo_t* cr = canvas.cairo;
                          const double height = bottom.y - top.y;
                          const double head = height * 0.07;
                          cairo_rectangle(cr, bottom.x - width / 2, top.y + 2 * head, width,
                                          height - 2 * head);
                          cairo_new_sub_path(cr);
                          cairo_arc(cr, top.x, top.y + head, head, 0, 2 * std::numbers::pi);
                          canvas.SetColour(colour);
                          cairo_fill_preserve(cr);
                          cairo_set_line_width(cr, 1);
                          canvas.SetColour(kOutline);
                          cairo_stroke(cr);
                      }});
    labels.push_back({top, std::move(label)});
}

// A wisp: a small glow floating above the ground.
void AddWisp(std::vector<Piece>& pieces, std::vector<Label>& labels, const Canvas& canvas,
             const CameraView& view, const zVEC3& at, std::string label) {
    const zVEC3 centre = view.ToCamera(Moved(at, 0, kWispHover, 0));
    if (!view.InFront(centre)) {
        return;
    }
    const Point middle = view.OnCanvas(centre);
    const double radius = view.Span(kWispRadius, centre.z);
    pieces.push_back({centre.z, [&canvas, middle, radius] {
                          const PatternHandle glow(cairo_pattern_create_radial(
                              middle.x, middle.y, 0, middle.x, middle.y, radius));
                          cairo_pattern_add_color_stop_rgba(glow.get(), 0, 0.95, 0.97, 1, 1);
                          cairo_pattern_add_color_stop_rgba(glow.get(), 0.4, 0.5, 0.75, 1, 0.8);
                          cairo_pattern_add_color_stop_rgba(glow.get(), 1, 0.3, 0.5, 1, 0);
                          cairo_arc(canvas.cairo, middle.x, middle.y, radius, 0,
                                    2 * std::numbers::pi);
                          cairo_set_source(canvas.cairo, glow.get());
                          cairo_fill(canvas.cairo);
                      }});
    labels.push_back({{middle.x, middle.y - radius}, std::move(label)});
}

// An item on the ground: a small disc where it lies.
void AddItem(std::vector<Piece>& pieces, std::vector<Label>& labels, const Canvas& canvas,
             const CameraView& view, const zVEC3& at, std::string label) {
    const zVEC3 spot = view.ToCamera(at);
    if (!view.InFront(spot)) {
        return;
    }
    const Point middle = view.OnCanvas(spot);
    const double radius = std::max(2.0, view.Span(kItemRadius, spot.z));
    pieces.push_back({spot.z, [&canvas, middle, radius] {
                          cairo_arc(canvas.cairo, middle.x, middle.y, radius, 0,
                                    2 * std::numbers::pi);
                          canvas.SetColour(kItemColour);
                          cairo_fill_preserve(canvas.cairo);
                          cairo_set_line_width(canvas.cairo, 1);
                          canvas.SetColour(kOutline);
                          cairo_stroke(canvas.cairo);
                      }});
    labels.push_back({{middle.x, middle.y - radius}, std::move(label)});
}

bool Lies(const SimNpc& npc) {
    return npc.dead || npc.unconscious || npc.bodyState == kBodyStateDead ||
           npc.bodyState == kBodyStateUnconscious;
}

bool IsWisp(const SimNpc& npc) {
    return npc.vob.instanceName.find("WISP") != std::string::npos;
}

void AddNpcs(std::vector<Piece>& pieces, std::vector<Label>& labels, const Canvas& canvas,
             const CameraView& view, const SimEngine& engine, int codePage) {
    for (const oCNpc* listed : engine.WorldNpcs().Objects()) {
        const auto* npc = dynamic_cast<const SimNpc*>(listed);
        if (npc == nullptr || !npc->vob.inWorld) {
            continue;
        }
        const zVEC3& at = npc->vob.position;
        std::string name = platform::CodePageToUtf8(npc->name, codePage);
        if (IsWisp(*npc)) {
            AddWisp(pieces, labels, canvas, view, at, std::move(name));
        } else if (Lies(*npc)) {
            AddBox(pieces, labels, canvas, view, Moved(at, -85, 0, -30), Moved(at, 85, 25, 30),
                   kBodyColours, name + (npc->dead ? " (dead)" : ""));
        } else {
            // The player needs no name: it is the figure in front of the camera.
            const bool player = npc == engine.Player();
            AddFigure(pieces, labels, canvas, view, at, player ? kPlayerColour : kNpcColour,
                      player ? std::string() : std::move(name));
        }
    }
}

void AddChestsAndWalls(std::vector<Piece>& pieces, std::vector<Label>& labels, const Canvas& canvas,
                       const CameraView& view, const SimEngine& engine, int codePage) {
    for (const auto& chest : engine.Containers()) {
        if (!chest->vob.inWorld) {
            continue;
        }
        const zVEC3& at = chest->vob.position;
        std::string name = chest->shownName.HasBuffer()
                               ? platform::CodePageToUtf8(chest->shownName.Text(), codePage)
                               : chest->vob.id;
        if ((chest->lockFlags & 1U) != 0) {
            name += " (locked)";
        }
        AddBox(pieces, labels, canvas, view, Moved(at, -45, 0, -28), Moved(at, 45, 55, 28),
               kChestColours, std::move(name));
    }
    for (const Blocker& wall : engine.blockers) {
        AddBox(pieces, labels, canvas, view, wall.min, wall.max, kWallColours, wall.id);
    }
}

void AddGroundItems(std::vector<Piece>& pieces, std::vector<Label>& labels, const Canvas& canvas,
                    const CameraView& view, const SimEngine& engine, int codePage) {
    for (const oCItem* listed : engine.WorldItems().Objects()) {
        const auto* item = dynamic_cast<const SimItem*>(listed);
        if (item != nullptr && item->vob.inWorld) {
            AddItem(pieces, labels, canvas, view, item->vob.position,
                    platform::CodePageToUtf8(item->name.Text(), codePage));
        }
    }
}

void DrawLabels(const Canvas& canvas, const std::vector<Label>& labels) {
    cairo_t* cr = canvas.cairo;
    cairo_select_font_face(cr, kScreenshotFont.data(), CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, std::max(9.0, canvas.size.height / 64.0));
    for (const Label& label : labels) {
        if (label.text.empty()) {
            continue;
        }
        cairo_text_extents_t extents{};
        cairo_text_extents(cr, label.text.c_str(), &extents);
        const double x = label.at.x - extents.x_advance / 2;
        const double y = label.at.y - 5;
        canvas.SetColour(kLabelShadow);
        cairo_move_to(cr, x + 1, y + 1);
        cairo_show_text(cr, label.text.c_str());
        canvas.SetColour(kLabel);
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, label.text.c_str());
    }
}

}  // namespace

void DrawWorldBackdrop(const Canvas& canvas, const SimEngine& engine, int codePage) {
    const CameraView view(canvas, engine);
    DrawSkyAndGround(canvas, view, engine.camera);
    const SimNpc* player = engine.Player();
    const float groundY = player == nullptr ? 0.0F : player->vob.position.y;
    DrawGrid(canvas, view, engine.camera.position, groundY);

    std::vector<Piece> pieces;
    std::vector<Label> labels;
    AddChestsAndWalls(pieces, labels, canvas, view, engine, codePage);
    AddNpcs(pieces, labels, canvas, view, engine, codePage);
    AddGroundItems(pieces, labels, canvas, view, engine, codePage);
    // Farthest first, so that nearer things cover what lies behind them.
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const Piece& a, const Piece& b) { return a.depth > b.depth; });
    for (const Piece& piece : pieces) {
        cairo_new_path(canvas.cairo);
        piece.draw();
    }
    DrawLabels(canvas, labels);
}

}  // namespace pilfern::sim
