// What the display draws and lists from a record's companion: card marks, the attention
// target and focus point of the selected player, the team logos in the header, and the
// details window's rows of capacity, card, tackles and foul.

#include <gtest/gtest.h>

#include <QImage>

#include "display/CompanionPainter.h"
#include "display/FieldPainter.h"
#include "display/FieldRenderer.h"
#include "display/ObjectDetails.h"
#include "gui/GuiTestSupport.h"

namespace tessarin::test {
namespace {

constexpr int kWidth = 1150;
constexpr int kHeight = 850;

// Left 1 at (-20, 10), left 2 at (10, -15), right 1 at (20, 10), all facing +x.
cycle_info_t baseRecord() {
    return showRecord(ShowBuilder(7)
                          .playmode(PM_PlayOn)
                          .team(0, "Alpha", 0)
                          .team(1, "Beta", 0)
                          .player(0, 1, 0, -20, 10)
                          .player(1, 1, 0, 10, -15)
                          .player(11, 1, 0, 20, 10)
                          .build());
}

FieldScene sceneWith(const std::shared_ptr<CycleCompanion>& companion, int selected = kSelectNothing) {
    cycle_info_t record = baseRecord();
    record.companion = companion;
    FieldScene scene;
    scene.setCurrent(record);
    scene.setPlayerTypes({}, kDefaultBallSize);
    scene.selected = selected;
    return scene;
}

struct Drawn {
    FieldRenderer renderer;
    QImage image;
    Drawn(const FieldScene& scene, const DisplayOptions& options) {
        renderer.setCacheMarkings(false);
        EXPECT_TRUE(renderer.prepare(kWidth, kHeight));
        image = renderer.compose(scene, options);
    }
    QPoint at(double x, double y) const { return {renderer.view().pixelX(x), renderer.view().pixelY(y)}; }
};

// Whether a pixel within `reach` of `p` has the colour.
bool colourNear(const QImage& image, QPoint p, const QColor& colour, int reach = 1) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const QPoint q = p + QPoint(dx, dy);
            if (image.rect().contains(q) && image.pixelColor(q) == colour) return true;
        }
    }
    return false;
}

std::vector<std::string> redTile() {
    std::vector<std::string> xpm = {"8 8 1 1", ". c #ff0000"};
    for (int row = 0; row < 8; ++row) xpm.emplace_back(8, '.');
    return xpm;
}

TEST(CompanionDrawingTest, CardsAreMarkedBesideTheBodyAndAGameWithoutDrawsAsBefore) {
    const DisplayOptions options;
    const Drawn plain(sceneWith(nullptr), options);
    auto companion = std::make_shared<CycleCompanion>();
    for (PlayerCompanion& p : companion->players) p.counterCount = 4;
    // Nothing that is drawn: the picture is the same as without a companion.
    EXPECT_EQ(Drawn(sceneWith(companion), options).image, plain.image);

    companion->players[0].state = 0x40001;
    companion->players[11].state = 0x80101;  // sent off: the red card stays marked
    const FieldScene carded = sceneWith(companion);
    const Drawn drawn(carded, options);
    const auto markCentre = [&](int index, double x, double y) {
        const int r =
            bodyRadius(drawn.renderer.view(), carded.kickRange[static_cast<std::size_t>(index)], options.PlayerScale);
        const QPoint body = drawn.at(x, y);
        return cardMarkBox(body.x(), body.y(), r).center();
    };
    EXPECT_EQ(drawn.image.pixelColor(markCentre(0, -20, 10)), kYellowCardColour);
    EXPECT_EQ(drawn.image.pixelColor(markCentre(11, 20, 10)), kRedCardColour);
    // Left 2 has none.
    EXPECT_EQ(drawn.image.pixelColor(markCentre(1, 10, -15)), plain.image.pixelColor(markCentre(1, 10, -15)));
}

TEST(CompanionDrawingTest, TheSelectedPlayersAttentionAndFocusShowWithItsViewArea) {
    auto companion = std::make_shared<CycleCompanion>();
    PlayerCompanion& p = companion->players[0];
    p.attentionSide = 'l';
    p.attentionUnum = 2;
    p.parts = PlayerCompanion::kFocusPoint;
    p.focusDist = 10;  // straight ahead: (-10, 10)
    DisplayOptions options;
    options.Viewarea = true;
    const Drawn selected(sceneWith(companion, 0), options);
    // Halfway between (-20, 10) and left 2 at (10, -15), and the focus point.
    EXPECT_TRUE(colourNear(selected.image, selected.at(-5, -2.5), kAttentionColour));
    EXPECT_TRUE(colourNear(selected.image, selected.at(-10, 10), kAttentionColour));
    // Not for another selection, nor without the view area.
    const Drawn other(sceneWith(companion, 11), options);
    EXPECT_FALSE(colourNear(other.image, other.at(-5, -2.5), kAttentionColour));
    options.Viewarea = false;
    const Drawn off(sceneWith(companion, 0), options);
    EXPECT_FALSE(colourNear(off.image, off.at(-10, 10), kAttentionColour));
}

TEST(CompanionDrawingTest, TeamLogosAreDrawnBesideTheirNames) {
    auto logos = std::make_shared<TeamLogos>();
    logos->tiles[0].push_back({0, 0, redTile()});
    logos->tiles[1].push_back({1, 0, redTile()});
    auto companion = std::make_shared<CycleCompanion>();
    companion->logos = logos;
    const FieldScene scene = sceneWith(companion);
    const DisplayOptions options;
    const Drawn drawn(scene, options);
    const HeaderLayout header = layoutHeader(drawn.renderer.view(), drawn.renderer.fonts(), headerTexts(scene));
    // Where drawTeamLogos puts them, found on a scratch image.
    QImage scratch(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&scratch);
    const std::array<QImage, 2> images = {composeLogo(logos->tiles[0]), composeLogo(logos->tiles[1])};
    const auto boxes = drawTeamLogos(painter, drawn.renderer.view(), header, images);
    painter.end();
    ASSERT_FALSE(boxes[0].isEmpty());
    ASSERT_FALSE(boxes[1].isEmpty());
    EXPECT_GT(boxes[0].left(), header[kLeftName].box.right());
    EXPECT_LT(boxes[0].right(), header[kPlayMode].box.left());
    EXPECT_LT(boxes[1].right(), header[kRightName].box.left());
    EXPECT_GT(boxes[1].left(), header[kTime].box.right());
    EXPECT_EQ(drawn.image.pixelColor(boxes[0].center()), QColor(255, 0, 0));
    EXPECT_EQ(drawn.image.pixelColor(boxes[1].center()), QColor(255, 0, 0));
    const Drawn without(sceneWith(nullptr), options);
    EXPECT_NE(without.image.pixelColor(boxes[0].center()), QColor(255, 0, 0));
}

TEST(CompanionDrawingTest, LogosComposeFromTheTilesQtCanRead) {
    std::vector<LogoTile> tiles = {{2, 1, redTile()}};
    QImage logo = composeLogo(tiles);
    // Only the part the tiles cover.
    ASSERT_EQ(logo.size(), QSize(8, 8));
    EXPECT_EQ(logo.pixelColor(3, 3), QColor(255, 0, 0));
    tiles.push_back({0, 0, {"8 8 1 1", ". c #00ff00", "nonsense"}});
    logo = composeLogo(tiles);
    EXPECT_EQ(logo.size(), QSize(8, 8));
    EXPECT_TRUE(composeLogo({{0, 0, {"garbage"}}}).isNull());
    EXPECT_TRUE(composeLogo({}).isNull());
}

TEST(CompanionDrawingTest, DetailsListCapacityCardTacklesAndFoul) {
    auto companion = std::make_shared<CycleCompanion>();
    PlayerCompanion& p = companion->players[0];
    p.state = 0x60001;
    p.parts = PlayerCompanion::kCapacity;
    p.capacity = 128296.0f;
    p.counterCount = 4;
    p.counters[kTackleCounter] = 3;
    auto texts = detailTexts(sceneWith(companion, 0));
    ASSERT_TRUE(texts);
    EXPECT_EQ(texts->lines[9][0], "Capacity:128296");
    EXPECT_EQ(texts->lines[9][1], "Card:yellow");
    EXPECT_EQ(texts->lines[10][0], "Tackles:3");
    EXPECT_EQ(texts->lines[10][1], "Foul:charged");
    // A version-4 line: no capacity.
    p.parts = 0;
    p.state = 0x1;
    texts = detailTexts(sceneWith(companion, 0));
    EXPECT_EQ(texts->lines[9][0], "Capacity:N/A");
    EXPECT_EQ(texts->lines[9][1], "Card:none");
    EXPECT_EQ(texts->lines[10][1], "Foul:none");
    // A version-3 game: the rows stay as they were.
    texts = detailTexts(sceneWith(nullptr, 0));
    EXPECT_EQ(texts->lines[0][0], "X:-20.00");
    for (int row = 9; row < kDetailRows; ++row) {
        EXPECT_EQ(texts->lines[static_cast<std::size_t>(row)][0], kNotAvailable);
        EXPECT_EQ(texts->lines[static_cast<std::size_t>(row)][1], kNotAvailable);
    }
}

}  // namespace
}  // namespace tessarin::test
