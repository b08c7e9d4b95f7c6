#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "controls/mouse_mod.h"
#include "controls/mwheel.h"
#include "controls/my_stree.h"
#include "controls/property_bag.h"
#include "tests/common/wait_until.h"

static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

const QString kSep = QStringLiteral("<KVQENTER>");

QString Block(int count, const QString& prefix = QStringLiteral("item ")) {
  QStringList pieces;
  for (int i = 1; i <= count; ++i) pieces << prefix + QString::number(i);
  return pieces.join(kSep);
}

QStringList Captions(const MyStree& list) {
  QStringList out;
  for (int i = 1; i <= list.LabelCount(); ++i) out << list.GetLabelData(i);
  return out;
}

// Records the item index of every emission of an item event.
struct IndexLog {
  std::vector<int> indices;
  void Add(int16_t& index) { indices.push_back(index); }
  int Count() const { return static_cast<int>(indices.size()); }
};

// A shown list the test moves the pointer over.
class ListFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    list_.resize(300, 200);
    list_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list_));
  }

  QPoint CentreOf(int index) const { return list_.CaptionRect(index).center(); }
  void MoveTo(const QPoint& p) { QTest::mouseMove(&list_, p); }
  // What the window system tells a widget the pointer has left.
  static void SendLeave(QWidget* w) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
  }
  static void SendEnter(QWidget* w) {
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(w->mapToGlobal(QPoint(1, 1))));
    QApplication::sendEvent(w, &enter);
  }
  void Wheel(int delta) {
    QPoint pos(50, 50);
    QWheelEvent event(QPointF(pos), QPointF(list_.mapToGlobal(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&list_, &event);
  }
  int32_t Bottom(int index) const { return list_.ShownTop(index) + list_.LabelHeight(index); }

  MyStree list_;
};

}  // namespace

TEST(MyStreeHideTest, MasksByAnsiByteWidth) {
  EXPECT_EQ(MyStree::MakeHideStr(QStringLiteral("How are you?")), QStringLiteral("--- --- ----"));
  EXPECT_EQ(MyStree::MakeHideStr(QStringLiteral("你好，Tom")), QStringLiteral("———---"));
  EXPECT_EQ(MyStree::MakeHideStr(QStringLiteral("I am 你")), QStringLiteral("- -- —"));
  // Line breaks stay, tab and other single-byte controls become dashes, code 0 a wide dash.
  EXPECT_EQ(MyStree::MakeHideStr(QStringLiteral("a\r\nb\tc")), QStringLiteral("-\r\n---"));
  EXPECT_EQ(MyStree::MakeHideStr(QString(QChar(0))), QStringLiteral("—"));
  // The euro sign is one byte in the code page; é is two; a character the
  // code page lacks (Thai) becomes "?" there and so a narrow dash.
  EXPECT_EQ(MyStree::MakeHideStr(QStringLiteral("€éก")), QStringLiteral("-—-"));
  // Surrogates, paired or not, are not in the code page: one dash per unit.
  QString astral = QString::fromUcs4(U"\U0001F600");
  EXPECT_EQ(MyStree::MakeHideStr(astral), QStringLiteral("--"));
  QString lone = QString(QChar(0xD800)) + QStringLiteral("x") + QString(QChar(0xDC00));
  EXPECT_EQ(MyStree::MakeHideStr(lone), QStringLiteral("---"));
  EXPECT_EQ(MyStree::MakeHideStr(QString()), QString());
}

TEST(MyStreeDataTest, TextBlockPieces) {
  MyStree list;
  EXPECT_EQ(list.GetData(), QStringLiteral("\""));
  EXPECT_EQ(list.LabelCount(), 0);
  list.setGetData(QStringLiteral("a<KVQENTER>b<KVQENTER>"));
  EXPECT_EQ(Captions(list), (QStringList{"a", "b", ""}));
  EXPECT_EQ(list.LabelCurClick(), 0);
  list.setGetData(kSep);
  EXPECT_EQ(Captions(list), (QStringList{"", ""}));
  // Matched exactly: other cases are text; line breaks belong to the item.
  list.setGetData(QStringLiteral("one<kvqenter>two\r\nthree"));
  EXPECT_EQ(list.LabelCount(), 1);
  EXPECT_EQ(list.ItemStr(1), QStringLiteral("one<kvqenter>two\r\nthree"));
  EXPECT_GT(list.LabelHeight(1), list.LabelHeight(0));  // two lines
  // An empty block empties the list but keeps the last block.
  list.setLabelCurClick(1);
  list.setGetData(QString());
  EXPECT_EQ(list.LabelCount(), 0);
  EXPECT_EQ(list.LabelCurClick(), 0);
  EXPECT_EQ(list.GetData(), QStringLiteral("one<kvqenter>two\r\nthree"));
}

TEST(MyStreeDataTest, ItemLimit) {
  MyStree list;
  list.setGetData(Block(40000));
  EXPECT_EQ(list.LabelCount(), 30001);
  EXPECT_EQ(list.GetLabelData(30001), QStringLiteral("item 30001"));
  list.AddItem(QStringLiteral("more"));
  list.InsertItem(1, QStringLiteral("more"), QString());
  EXPECT_EQ(list.LabelCount(), 30001);
  EXPECT_EQ(list.GetLabelData(1), QStringLiteral("item 1"));

  list.setGetData(Block(29999));
  list.AddItem(QStringLiteral("last"));
  EXPECT_EQ(list.LabelCount(), 30000);
  list.AddItem(QStringLiteral("refused"));
  EXPECT_EQ(list.LabelCount(), 30000);
  EXPECT_EQ(list.GetLabelData(30000), QStringLiteral("last"));
}

TEST(MyStreeDataTest, HiddenTexts) {
  MyStree list;
  list.setShowHideCaptial(true);
  list.setGetData(QStringLiteral("I am 你<KVQENTER>ok<KVQENTER>no"));
  EXPECT_EQ(Captions(list), (QStringList{"- -- —", "--", "--"}));
  list.ShowHideCaptialSet(1, false);
  EXPECT_EQ(Captions(list), (QStringList{"I am 你", "--", "--"}));
  list.setShowHideCaptial(true);
  EXPECT_EQ(list.GetLabelData(1), QStringLiteral("I am 你"));  // still exempt
  list.ShowHideCaptialSet(1, true);
  EXPECT_EQ(list.GetLabelData(1), QStringLiteral("- -- —"));
  list.setShowHideCaptial(false);
  EXPECT_EQ(Captions(list), (QStringList{"I am 你", "ok", "no"}));
  // A caption replaced directly comes back to its text at the next switch.
  list.SetLabelData(2, QStringLiteral("deleted"));
  EXPECT_EQ(list.GetLabelData(2), QStringLiteral("deleted"));
  EXPECT_EQ(list.ItemStr(2), QStringLiteral("ok"));
  list.setShowHideCaptial(false);
  EXPECT_EQ(list.GetLabelData(2), QStringLiteral("ok"));
  // Items added while hidden show their hidden text.
  list.setShowHideCaptial(true);
  list.AddItem(QStringLiteral("ab c"), QStringLiteral("remark"));
  EXPECT_EQ(list.GetLabelData(4), QStringLiteral("-- -"));
  EXPECT_EQ(list.GetLabelItemData(4), QString());
}

TEST(MyStreeDataTest, InsertMovesTextsAndData) {
  MyStree list;
  list.InsertItem(1, QStringLiteral("x"), QStringLiteral("note"));  // empty list: nothing
  EXPECT_EQ(list.LabelCount(), 0);
  list.setGetData(QStringLiteral("a<KVQENTER>b"));
  list.SetabelItemData(1, QStringLiteral("da"));
  list.SetabelItemData(2, QStringLiteral("db"));
  list.setLabelCurClick(2);
  list.setShowHideCaptial(true);
  list.InsertItem(1, QStringLiteral("x"), QStringLiteral("note"));
  EXPECT_EQ(Captions(list), (QStringList{"x", "-", "-"}));  // the new item is shown unmasked
  EXPECT_EQ(list.ItemStr(1), QStringLiteral("x"));
  EXPECT_EQ(list.HideStr(1), QStringLiteral("-"));
  EXPECT_EQ(list.GetLabelItemData(1), QStringLiteral("note"));
  EXPECT_EQ(list.GetLabelItemData(2), QStringLiteral("da"));
  EXPECT_EQ(list.GetLabelItemData(3), QStringLiteral("db"));
  EXPECT_EQ(list.LabelCurClick(), 2);  // keeps its number
  EXPECT_EQ(list.CaptionColor(2), list.LabelColorClick());
  // Tops follow the recurrence after an insertion.
  for (int i = 1; i <= 3; ++i)
    EXPECT_EQ(list.LabelTop(i), list.LabelTop(i - 1) + list.LabelHeight(i - 1) + list.两行间高());
  // At count + 1 it appends; further out it is ignored.
  list.InsertItem(4, QStringLiteral("end"), QString());
  EXPECT_EQ(list.ItemStr(4), QStringLiteral("end"));
  for (int bad : {0, -1, 6, 32767}) list.InsertItem(bad, QStringLiteral("bad"), QString());
  EXPECT_EQ(list.LabelCount(), 4);
}

TEST(MyStreeDataTest, IndicesOutOfRangeChangeNothing) {
  MyStree list;
  list.setGetData(QStringLiteral("a<KVQENTER>b"));
  for (int bad : {0, -1, 3, 32767, -32768}) {
    EXPECT_EQ(list.GetLabelData(bad), QString()) << bad;
    EXPECT_EQ(list.GetLabelItemData(bad), QString()) << bad;
    list.SetLabelData(bad, QStringLiteral("z"));
    list.SetabelItemData(bad, QStringLiteral("z"));
    list.ShowHideCaptialSet(bad, false);
  }
  EXPECT_EQ(Captions(list), (QStringList{"a", "b"}));
  list.setLabelCurClick(2);
  EXPECT_EQ(list.CaptionColor(2), list.LabelColorClick());
  list.setLabelCurClick(3);
  EXPECT_EQ(list.LabelCurClick(), 0);
  EXPECT_EQ(list.CaptionColor(2), list.LabelColorMoveOut());
  EXPECT_FALSE(list.HighlightShown());
}

TEST(MyStreeLayoutTest, TopsFollowTheRecurrence) {
  MyStree list;
  list.resize(400, 300);
  list.setGetData(QStringLiteral("short<KVQENTER>") + QString(400, QLatin1Char('w')).replace(QLatin1String("w"), QLatin1String("word ")) +
                  QStringLiteral("<KVQENTER><KVQENTER>x"));
  EXPECT_EQ(list.LabelTop(1), MyStree::kMargin);
  EXPECT_EQ(list.LabelTop(0) + list.LabelHeight(0) + list.两行间高(), MyStree::kMargin);
  for (int i = 2; i <= list.LabelCount(); ++i)
    EXPECT_EQ(list.LabelTop(i), list.LabelTop(i - 1) + list.LabelHeight(i - 1) + list.两行间高());
  EXPECT_GT(list.LabelHeight(2), 5 * list.LabelHeight(1));  // long text wraps
  EXPECT_EQ(list.LabelHeight(3), list.LabelHeight(1));      // empty text: one line
  // Changing the gap moves every top, the first stays at the margin.
  list.set两行间高(0);
  EXPECT_EQ(list.LabelTop(1), MyStree::kMargin);
  EXPECT_EQ(list.LabelTop(2), MyStree::kMargin + list.LabelHeight(1));
  // Wrapping off: one line per paragraph, as wide as the text.
  list.setWordWrap(false);
  list.SetLabelData(2, QString(300, QLatin1Char('m')));
  EXPECT_EQ(list.LabelHeight(2), list.LabelHeight(1));
  EXPECT_GT(list.CaptionRect(2).width(), list.TemplateWidth() / 15);
}

TEST_F(ListFixture, ScrollBarGeometryAndThreshold) {
  const int h = list_.LabelHeight(0);  // one line
  const int gap = list_.两行间高();
  // Ten one-line items whose last caption ends exactly 90 twips above the bottom.
  const int H = MyStree::kMargin + 9 * (h + gap) + h + MyStree::kMargin;
  ASSERT_EQ(H % 15, 0);
  list_.resize(300, H / 15);
  list_.setGetData(Block(10));
  EXPECT_TRUE(list_.ScrollBarShown());  // equality counts as not fitting
  const QRect bar = list_.VScroll1()->geometry();
  EXPECT_EQ(bar.right(), 300 - 2 - 1);
  EXPECT_EQ(bar.width(), 17);
  EXPECT_EQ(bar.top(), 2);
  EXPECT_EQ(bar.height(), H / 15 - 4);
  EXPECT_EQ(list_.TemplateWidth(), (300 * 15) - 255 - 30 - 90 - 60);

  list_.resize(300, H / 15 + 1);
  list_.setGetData(Block(10));
  EXPECT_FALSE(list_.ScrollBarShown());
  for (int i = 1; i <= 10; ++i) EXPECT_TRUE(list_.IsShown(i));
  EXPECT_EQ(list_.ShownTop(1), MyStree::kMargin);
}

TEST_F(ListFixture, WheelScrollsOneItemPerNotchBetweenOneAndTheMaximum) {
  list_.setGetData(Block(100));
  ASSERT_TRUE(list_.ScrollBarShown());
  QScrollBar* bar = list_.VScroll1();
  const int max = bar->maximum();
  ASSERT_GT(max, 80);
  ASSERT_LT(max, 100);
  // The maximum is the first item from which the rest fits.
  const int H = list_.height() * 15;
  bar->setValue(max);
  EXPECT_LE(Bottom(100) + list_.两行间高(), H);
  bar->setValue(max - 1);
  EXPECT_GT(Bottom(100) + list_.两行间高(), H);
  bar->setValue(1);
  // The page step is what fits at the top, less one.
  int shownAtTop = 0;
  for (int i = 1; i <= 100; ++i) shownAtTop += list_.IsShown(i);
  EXPECT_EQ(bar->pageStep(), shownAtTop - 1);
  EXPECT_LT(shownAtTop, 20);

  list_.StopMouseWheel();
  Wheel(-120);  // no capture: the list ignores the wheel
  EXPECT_EQ(bar->value(), 1);
  QTest::mouseClick(&list_, Qt::LeftButton, {}, CentreOf(1));
  ASSERT_TRUE(list_.MWheel1()->WheelEnabled());
  Wheel(120);
  EXPECT_EQ(bar->value(), 1);
  Wheel(-120);
  EXPECT_EQ(bar->value(), 2);
  EXPECT_EQ(list_.TopIndex(), 2);
  EXPECT_EQ(list_.ShownTop(2), MyStree::kMargin);
  EXPECT_FALSE(list_.IsShown(1));
  for (int delta : {240, -60, -240, 60, -119}) Wheel(delta);
  EXPECT_EQ(bar->value(), 2);
  for (int i = 0; i < 200; ++i) Wheel(-120);
  EXPECT_EQ(bar->value(), max);
  for (int i = 0; i < 200; ++i) Wheel(120);
  EXPECT_EQ(bar->value(), 1);
  // Released capture: the wheel reaches the list's own handling again.
  list_.StopMouseWheel();
  EXPECT_FALSE(MouseMod::IsHooked(list_.MWheel1()));
  Wheel(-120);
  EXPECT_EQ(bar->value(), 1);
}

// The hover follows the pointer's own events: moving off the captions,
// leaving the list or entering its scroll bar ends it at once, and nothing
// runs while the pointer rests.
TEST_F(ListFixture, HoverUnderlinesUntilThePointerLeaves) {
  list_.setGetData(Block(30));
  IndexLog moves;
  bool underlinedInHandler = false;
  QObject::connect(&list_, &MyStree::LabelMouseMove, &list_, [&](int16_t& index, int16_t&, int16_t&, float&, float&) {
    moves.Add(index);
    underlinedInHandler = list_.IsUnderlined(index);
  });
  MoveTo(CentreOf(2));
  ASSERT_EQ(moves.indices, std::vector<int>{2});
  EXPECT_TRUE(underlinedInHandler);
  EXPECT_EQ(list_.HoverIndex(), 2);
  EXPECT_EQ(list_.CaptionColor(2), list_.LabelColorMoveIn());
  // The pointer stays: the hover stays.
  RunEventsFor(40);
  EXPECT_EQ(list_.HoverIndex(), 2);
  EXPECT_TRUE(list_.IsUnderlined(2));
  // Moving to another caption moves the hover at once.
  MoveTo(CentreOf(3));
  EXPECT_FALSE(list_.IsUnderlined(2));
  EXPECT_EQ(list_.CaptionColor(2), list_.LabelColorMoveOut());
  EXPECT_TRUE(list_.IsUnderlined(3));
  // The pointer moves onto the empty background: cleared at once.
  MoveTo(QPoint(2, list_.height() - 3));
  EXPECT_EQ(list_.HoverIndex(), 0);
  EXPECT_FALSE(list_.IsUnderlined(3));
  EXPECT_EQ(list_.CaptionColor(3), list_.LabelColorMoveOut());
  // Leaving the current item (out of the list) gives it back its current colour.
  list_.setLabelCurClick(4);
  MoveTo(CentreOf(4));
  EXPECT_EQ(list_.CaptionColor(4), list_.LabelColorMoveIn());
  SendLeave(&list_);
  EXPECT_EQ(list_.HoverIndex(), 0);
  EXPECT_FALSE(list_.IsUnderlined(4));
  EXPECT_EQ(list_.CaptionColor(4), list_.LabelColorClick());
  // Onto the scroll bar, which lies over the list's right edge.
  ASSERT_TRUE(list_.ScrollBarShown());
  MoveTo(CentreOf(1));
  EXPECT_TRUE(list_.IsUnderlined(1));
  SendEnter(list_.VScroll1());
  EXPECT_EQ(list_.HoverIndex(), 0);
  EXPECT_FALSE(list_.IsUnderlined(1));
  // A hover over an item that a rebuild removed ends quietly.
  MoveTo(CentreOf(5));
  list_.setGetData(QStringLiteral("only"));
  EXPECT_EQ(list_.HoverIndex(), 0);
  SendLeave(&list_);
  MoveTo(CentreOf(1));
  EXPECT_TRUE(list_.IsUnderlined(1));
}

TEST_F(ListFixture, ClicksMakeCurrentOrReportTheRightButton) {
  list_.setHightLightUse(true);
  list_.setGetData(Block(5));
  int currentSeenByHost = -1;
  IndexLog clicks, rights, ups, downs;
  std::vector<std::pair<float, float>> downAt;
  int surface = 0;
  QObject::connect(&list_, &MyStree::LabelClick, &list_, [&](int16_t& i) {
    clicks.Add(i);
    currentSeenByHost = list_.LabelCurClick();
  });
  QObject::connect(&list_, &MyStree::LabelClickRight, &list_, [&](int16_t& i) { rights.Add(i); });
  QObject::connect(&list_, &MyStree::LabelMouseUp, &list_,
                   [&](int16_t& i, int16_t&, int16_t&, float&, float&) { ups.Add(i); });
  QObject::connect(&list_, &MyStree::LabelMouseDown, &list_, [&](int16_t& i, int16_t&, int16_t&, float& x, float& y) {
    downs.Add(i);
    downAt.emplace_back(x, y);
  });
  QObject::connect(&list_, &MyStree::Click, &list_, [&] { ++surface; });
  QTest::mouseClick(&list_, Qt::LeftButton, {}, CentreOf(3));
  EXPECT_EQ(clicks.indices, std::vector<int>{3});
  EXPECT_EQ(currentSeenByHost, 3);
  EXPECT_EQ(downs.indices, std::vector<int>{3});
  EXPECT_EQ(ups.indices, std::vector<int>{3});
  EXPECT_EQ(surface, 0);
  EXPECT_EQ(list_.CaptionColor(3), list_.LabelColorClick());
  EXPECT_TRUE(list_.HighlightShown());
  EXPECT_EQ(list_.HighlightRect().top(), list_.CaptionRect(3).top());
  EXPECT_EQ(list_.HighlightRect().height(), list_.CaptionRect(3).height() + 2);
  // Item events carry positions relative to the caption, in twips.
  const QRect caption = list_.CaptionRect(3);
  QTest::mousePress(&list_, Qt::LeftButton, {}, caption.topLeft() + QPoint(4, 3));
  ASSERT_EQ(downAt.size(), 2u);
  EXPECT_NEAR(downAt[1].first, 4 * 15 + caption.left() * 15 - MyStree::kMargin, 15.0);
  EXPECT_NEAR(downAt[1].second, 3 * 15 + caption.top() * 15 - list_.ShownTop(3), 15.0);
  QTest::mouseRelease(&list_, Qt::LeftButton, {}, caption.topLeft() + QPoint(4, 3));

  QTest::mouseClick(&list_, Qt::RightButton, {}, CentreOf(1));
  EXPECT_EQ(rights.indices, std::vector<int>{1});
  EXPECT_EQ(list_.LabelCurClick(), 3);
  EXPECT_EQ(clicks.Count(), 2);
  // The background raises the control's own events.
  QTest::mouseClick(&list_, Qt::LeftButton, {}, QPoint(2, list_.height() - 3));
  EXPECT_EQ(surface, 1);
  EXPECT_EQ(list_.LabelCurClick(), 3);
  // Pressing on one caption and releasing on another is no click.
  QTest::mousePress(&list_, Qt::LeftButton, {}, CentreOf(1));
  QTest::mouseRelease(&list_, Qt::LeftButton, {}, CentreOf(2));
  EXPECT_EQ(clicks.Count(), 2);
}

TEST_F(ListFixture, DoubleClickFollowsTheClickOfItsFirstPress) {
  list_.setGetData(Block(5));
  IndexLog clicks, doubles;
  int currentAtDouble = -1;
  QObject::connect(&list_, &MyStree::LabelClick, &list_, [&](int16_t& i) { clicks.Add(i); });
  QObject::connect(&list_, &MyStree::LabelDbClick, &list_, [&](int16_t& i) {
    doubles.Add(i);
    currentAtDouble = list_.LabelCurClick();
  });
  // A real double click: press, release, second press (the double click), release.
  QTest::mouseClick(&list_, Qt::LeftButton, {}, CentreOf(2));
  QTest::mouseDClick(&list_, Qt::LeftButton, {}, CentreOf(2));
  QTest::mouseRelease(&list_, Qt::LeftButton, {}, CentreOf(2));
  EXPECT_EQ(doubles.indices, std::vector<int>{2});
  EXPECT_EQ(currentAtDouble, 2);
  EXPECT_EQ(clicks.indices, std::vector<int>{2});
}

TEST_F(ListFixture, ClickingAPartlyHiddenCaptionScrollsItToTheTop) {
  list_.setGetData(Block(60));
  int partly = 0;
  for (int i = 1; i <= 60; ++i)
    if (list_.IsShown(i) && list_.CaptionRect(i).top() < list_.height() &&
        Bottom(i) + MyStree::kMargin > list_.height() * 15) {
      partly = i;
      break;
    }
  ASSERT_GT(partly, 0);
  QPoint p = list_.CaptionRect(partly).topLeft() + QPoint(3, 1);
  ASSERT_LT(p.y(), list_.height());
  // The right button neither moves the mark nor scrolls.
  QTest::mouseClick(&list_, Qt::RightButton, {}, p);
  EXPECT_EQ(list_.VScroll1()->value(), 1);
  QTest::mouseClick(&list_, Qt::LeftButton, {}, p);
  EXPECT_EQ(list_.VScroll1()->value(), partly);
  EXPECT_EQ(list_.ShownTop(partly), MyStree::kMargin);
  // Near the end the list shows its last page instead.
  list_.setLabelCurClick(60);
  EXPECT_EQ(list_.VScroll1()->value(), list_.VScroll1()->maximum());
  EXPECT_TRUE(list_.IsShown(60));
}

TEST_F(ListFixture, FontChangesKeepTheFirstCaptionAtTheMargin) {
  list_.setGetData(Block(3));
  const int32_t before = list_.LabelHeight(1);
  list_.setLabelFontSize(24);
  EXPECT_GT(list_.LabelHeight(1), before);
  EXPECT_EQ(list_.ShownTop(1), MyStree::kMargin);
  EXPECT_EQ(list_.LabelTop(2), MyStree::kMargin + list_.LabelHeight(1) + list_.两行间高());
  list_.setLabelFontName(QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(list_.ShownTop(1), MyStree::kMargin);
  EXPECT_EQ(list_.TemplateFont().family(), QStringLiteral("DejaVu Sans"));
  // Bigger again: the short list no longer fits and scrolls.
  list_.setLabelFontSize(200);
  EXPECT_TRUE(list_.ScrollBarShown());
  list_.setLabelFontSize(12);
  EXPECT_FALSE(list_.ScrollBarShown());
  EXPECT_TRUE(list_.IsShown(3));
}

TEST_F(ListFixture, BackgroundIsAPersistentGradient) {
  list_.setBackGroundColor1(RgbValue(0, 0, 0));
  list_.setBackGroundColor2(RgbValue(255, 255, 255));
  const QImage at0 = list_.BackgroundImage();
  EXPECT_EQ(at0.pixelColor(0, 50), QColor(0, 0, 0));  // angle 0: colour 1 at the left
  EXPECT_GT(at0.pixelColor(299, 50).red(), 240);
  list_.setBackGroundAngel(90);
  EXPECT_EQ(list_.BackgroundImage(), at0);  // stored only
  list_.setBackGroundColor2(RgbValue(255, 255, 254));
  const QImage at90 = list_.BackgroundImage();
  EXPECT_LT(at90.pixelColor(150, 199).red(), 10);  // colour 1 at the bottom now
  EXPECT_GT(at90.pixelColor(150, 0).red(), 240);
  // What is on screen: background, frame, highlight bar and caption text.
  list_.setGetData(Block(3));
  list_.setHightLightUse(true);
  list_.setHightLightColor(RgbValue(0, 128, 0));
  list_.setLabelColorClick(RgbValue(255, 0, 255));
  list_.setLabelCurClick(2);
  const QImage shot = list_.grab().toImage();
  EXPECT_EQ(shot.pixelColor(0, 0), QColor(255, 0, 0));  // frame
  const QRect bar = list_.HighlightRect();
  EXPECT_EQ(shot.pixelColor(bar.left() + 2, bar.top() + 1), QColor(0, 128, 0));
  int magenta = 0;
  const QRect caption = list_.CaptionRect(2);
  for (int y = caption.top(); y <= caption.bottom(); ++y)
    for (int x = caption.left(); x <= caption.right(); ++x) magenta += shot.pixelColor(x, y) == QColor(255, 0, 255);
  EXPECT_GT(magenta, 10);
}

TEST(MyStreePropertiesTest, StoredKeysInOrderAndBack) {
  MyStree list;
  PropertyBag bag;
  list.WriteProperties(bag);
  EXPECT_EQ(bag.Names(), QStringList{QStringLiteral("FontName")});  // everything else at its default

  list.setBackColor(RgbValue(1, 2, 3));
  list.setEnabled(false);
  list.setBorderColor(RgbValue(4, 5, 6));
  list.setGetData(QStringLiteral("a<KVQENTER>b"));
  list.setLabelColorMoveIn(7);
  list.setLabelColorMoveOut(8);
  list.setLabelColorClick(9);
  list.setLabelCurClick(2);
  list.set两行间高(60);
  list.setWordWrap(false);
  list.setHightLightUse(true);
  list.setHightLightColor(10);
  list.setBackGroundColor1(11);
  list.setBackGroundColor2(12);
  list.setLabelFontSize(14);
  list.setBackGroundAngel(45);
  list.setLabelFontName(QStringLiteral("DejaVu Sans"));
  list.setShowHideCaptial(true);
  list.setLabeItemStrShow(true);
  list.setLabeItemStrShowCanChange(true);
  bag.Clear();
  list.WriteProperties(bag);
  EXPECT_EQ(bag.Names(),
            (QStringList{"BackColor", "Enabled", "BorderColor", "GetData", "LabelColorMoveIn", "LabelColorMoveOut",
                         "LabelColorClick", "LabelCurClick", "两行间高", "WordWrap", "HightLightUse", "HightLightColor",
                         "BackGroundColor1", "BackGroundColor2", "LabelFontSize", "FontName", "BackGroundAngel",
                         "LabelFontName", "ShowHideCaptial", "LabeItemStrShow", "LabeItemStrShowCanChange"}));

  MyStree copy;
  copy.ReadProperties(bag);
  EXPECT_EQ(copy.BackColor(), RgbValue(1, 2, 3));
  EXPECT_FALSE(copy.Enabled());
  EXPECT_EQ(copy.GetData(), QStringLiteral("a<KVQENTER>b"));
  EXPECT_EQ(copy.LabelCount(), 0);    // values only: no items are built
  EXPECT_EQ(copy.LabelCurClick(), 0);  // no item 2 to be current
  EXPECT_EQ(copy.两行间高(), 60);
  EXPECT_FALSE(copy.WordWrap());
  EXPECT_TRUE(copy.HightLightUse());
  EXPECT_EQ(copy.HightLightColor(), 10u);
  EXPECT_EQ(copy.BackGroundColor2(), 12u);
  EXPECT_EQ(copy.LabelFontSize(), 14);
  EXPECT_EQ(copy.BackGroundAngel(), 45);
  EXPECT_EQ(copy.LabelFontName(), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(copy.TemplateFont().family(), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(copy.TemplateFont().pixelSize(), MyStree().TemplateFont().pixelSize());  // size not applied
  EXPECT_TRUE(copy.ShowHideCaptial());
  EXPECT_TRUE(copy.LabeItemStrShowCanChange());
  PropertyBag again;
  copy.WriteProperties(again);
  QStringList expected = bag.Names();
  expected.removeAll(QStringLiteral("LabelCurClick"));
  EXPECT_EQ(again.Names(), expected);

  // A bag without keys gives the defaults, "Arial" for the template font.
  MyStree fresh;
  fresh.ReadProperties(PropertyBag());
  EXPECT_EQ(fresh.BorderColor(), 255u);
  EXPECT_EQ(fresh.BackColor(), 0x80000005u);
  EXPECT_EQ(fresh.GetData(), QStringLiteral("\""));
  EXPECT_EQ(fresh.TemplateFont().family(), QStringLiteral("Arial"));
  // Colours stored as negative numbers read back as the same 32 bits.
  PropertyBag negative;
  negative.WriteProperty(QStringLiteral("BackColor"), -2147483633);
  fresh.ReadProperties(negative);
  EXPECT_EQ(fresh.BackColor(), 0x8000000Fu);
}

TEST(MyStreeBadInputTest, StaysConsistent) {
  MyStree list;
  list.resize(0, 0);
  QString huge(100000, QLatin1Char('x'));
  QString controls;
  for (char16_t c = 0; c < 32; ++c) controls += QChar(c);
  QString surrogates = QString(QChar(0xD800)) + QStringLiteral("a") + QString(QChar(0xDFFF)) + QChar(0xDBFF);
  list.setGetData(huge + kSep + controls + kSep + surrogates + kSep + kSep + Block(5));
  EXPECT_EQ(list.LabelCount(), 9);
  EXPECT_EQ(list.HideStr(3).size(), surrogates.size());
  for (int i = 1; i <= list.LabelCount(); ++i) EXPECT_GT(list.LabelHeight(i), 0);
  list.setLabelCurClick(9);
  list.resize(200, 150);
  list.setLabelCurClick(1);
  list.set两行间高(-32768);
  list.set两行间高(32767);
  list.setLabelFontSize(-5);
  list.setLabelFontSize(32767);
  list.setLabelFontSize(12);
  list.SetLabelData(1, huge + huge);
  list.InsertItem(2, huge, huge);
  for (int i = 1; i <= list.LabelCount(); ++i)
    EXPECT_EQ(list.LabelTop(i), list.LabelTop(i - 1) + list.LabelHeight(i - 1) + list.两行间高()) << i;
  EXPECT_GE(list.VScroll1()->maximum(), 1);
  EXPECT_LE(list.VScroll1()->maximum(), list.LabelCount());
  (void)list.grab();  // paints without trouble
  list.set两行间高(-2000);  // captions overlapping one another
  (void)list.grab();
  list.setGetData(QStringLiteral("one"));
  EXPECT_EQ(list.LabelCount(), 1);
}

TEST(MyStreeBadInputTest, ACaptionTallerThanTheListIsStillShown) {
  MyStree list;
  list.resize(200, 60);
  list.setGetData(QString(3000, QLatin1Char('w')));
  EXPECT_TRUE(list.IsShown(1));
  EXPECT_EQ(list.ShownTop(1), MyStree::kMargin);
}

TEST(MyStreeLayoutTest, AHiddenListMeasuresAtItsCurrentSize) {
  // Hosts size and fill their lists before the window is shown.
  QWidget host;
  MyStree list(&host);
  list.setGeometry(0, 0, 400, 300);
  list.setGetData(QStringLiteral("a sentence that fits on one line"));
  EXPECT_EQ(list.TemplateWidth(), 400 * 15 - 255 - 30 - 90 - 60);
  EXPECT_EQ(list.LabelHeight(1), list.LabelHeight(0));
  EXPECT_EQ(list.VScroll1()->geometry(), QRect(400 - 2 - 17, 2, 17, 300 - 4));
  EXPECT_EQ(list.BackgroundImage().size(), QSize(400, 300));
}

// A size change wraps the captions anew at the new width, lays the items out
// again and keeps the current item in view.
TEST_F(ListFixture, ResizingLaysTheItemsOutAgain) {
  const QString sentence = QStringLiteral("Could you tell me the way to the station, please? It is not far from here.");
  QStringList items;
  for (int i = 1; i <= 6; ++i) items << QString::number(i) + QStringLiteral(". ") + sentence;
  list_.resize(600, 400);
  list_.setGetData(items.join(kSep));
  ASSERT_FALSE(list_.ScrollBarShown());
  list_.setLabelCurClick(5);
  const int32_t wideHeight = list_.LabelHeight(1);

  list_.resize(200, 400);
  const int twipsHigh = list_.height() * 15;
  EXPECT_GT(list_.LabelHeight(1), wideHeight) << "narrowed captions wrap onto more lines";
  const int scrollLeft = list_.VScroll1()->geometry().left();
  for (int i = 1; i <= 6; ++i) {
    SCOPED_TRACE(i);
    if (i > 1) EXPECT_EQ(list_.LabelTop(i), list_.LabelTop(i - 1) + list_.LabelHeight(i - 1) + list_.两行间高());
    if (list_.IsShown(i)) EXPECT_LT(list_.CaptionRect(i).right(), scrollLeft) << "no caption runs under the bar";
  }
  ASSERT_TRUE(list_.ScrollBarShown());
  EXPECT_TRUE(list_.IsShown(5));
  EXPECT_LE(list_.ShownTop(5) + list_.LabelHeight(5) + 90, twipsHigh) << "the current item stays in view";

  // Low: the list scrolls, and its last page shows the last item whole.
  list_.resize(200, 120);
  EXPECT_TRUE(list_.IsShown(5));
  list_.VScroll1()->setValue(list_.VScroll1()->maximum());
  EXPECT_TRUE(list_.IsShown(6));
  EXPECT_LE(list_.ShownTop(6) + list_.LabelHeight(6), list_.height() * 15);

  // Wide again: one line each, everything fits, item 1 back at the top margin.
  list_.resize(600, 400);
  EXPECT_EQ(list_.LabelHeight(1), wideHeight);
  EXPECT_FALSE(list_.ScrollBarShown());
  EXPECT_EQ(list_.ShownTop(1), 90);
  EXPECT_EQ(list_.LabelCurClick(), 5);
  EXPECT_EQ(list_.CaptionColor(5), list_.LabelColorClick());
}

// Short items in a list made too low for them: a scroll bar appears at once.
TEST_F(ListFixture, ShrinkingBelowTheItemsShowsTheScrollBar) {
  list_.setGetData(Block(4));
  ASSERT_FALSE(list_.ScrollBarShown());
  list_.resize(300, 50);
  ASSERT_TRUE(list_.ScrollBarShown());
  const int last = list_.VScroll1()->maximum();
  list_.VScroll1()->setValue(last);
  EXPECT_TRUE(list_.IsShown(4));
  EXPECT_LE(list_.ShownTop(4) + list_.LabelHeight(4), list_.height() * 15);
  list_.resize(300, 200);
  EXPECT_FALSE(list_.ScrollBarShown());
  for (int i = 1; i <= 4; ++i) EXPECT_TRUE(list_.IsShown(i)) << i;
}
