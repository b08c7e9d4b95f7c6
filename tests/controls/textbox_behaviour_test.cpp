#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "controls/property_bag.h"
#include "controls/text_box.h"
#include "tests/common/wait_until.h"

namespace {

struct Box {
  QWidget host;
  QelText* text = nullptr;
  Box() {
    host.resize(300, 200);
    text = new QelText(&host);
    text->setGeometry(10, 10, 150, 30);
    host.show();  // resizes reach a control only once it is shown
  }
  QLineEdit* field() const { return static_cast<QLineEdit*>(text->Text1()); }
};

void Type(QWidget* w, const QString& chars) { QTest::keyClicks(w, chars); }

void SendFocus(QWidget* field, QEvent::Type type) {
  QFocusEvent e(type, Qt::TabFocusReason);
  QApplication::sendEvent(field, &e);
}

void MoveOver(QWidget* field, QPoint p = QPoint(5, 5)) {
  QMouseEvent e(QEvent::MouseMove, QPointF(p), field->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                Qt::NoModifier);
  QApplication::sendEvent(field, &e);
}

void SendLeave(QWidget* field) {
  QEvent e(QEvent::Leave);
  QApplication::sendEvent(field, &e);
}

void CommitIme(QWidget* field, const QString& commit) {
  QInputMethodEvent e(QString(), {});
  e.setCommitString(commit);
  QApplication::sendEvent(field, &e);
}

}  // namespace

TEST(QelTextProperties, NewControlHasDefaultsAndWritesNothing) {
  Box b;
  EXPECT_EQ(b.text->Text(), "Text1");
  EXPECT_TRUE(b.text->OnlyNumber());
  EXPECT_FALSE(b.text->UserDot());
  EXPECT_FALSE(b.text->SelAll());
  EXPECT_EQ(b.text->MaxLength(), 0);
  EXPECT_EQ(b.text->ForeColor(), 0x80000008u);
  EXPECT_EQ(b.text->MouseMoveColor(), 0xFFF0F0u);
  EXPECT_EQ(b.text->MouseInColor(), 0xFFE0E0u);
  EXPECT_EQ(b.text->MouseOutColor(), 0x8000000Fu);
  EXPECT_EQ(b.text->BorderColor(), 0x962C00u);
  EXPECT_EQ(b.text->CurrentBackColor(), 0x8000000Fu);
  PropertyBag bag;
  b.text->WriteProperties(bag);
  EXPECT_EQ(bag.Count(), 0) << bag.Names().join(",").toStdString();
}

TEST(QelTextProperties, StoredValuesRoundTripAndMissingKeysGiveDefaults) {
  Box a;
  a.text->setText("12.5");
  a.text->setOnlyNumber(false);
  a.text->setUserDot(true);
  a.text->setSelAll(true);
  a.text->setMaxLength(8);
  a.text->setBorderColor(0x0000FF);
  a.text->setMouseOutColor(0x00FF00);
  a.text->setAlignment(2);
  a.text->setLocked(true);
  a.text->setPasswordChar("*");
  QFont f = a.text->font();
  f.setPointSize(15);
  a.text->setFont(f);
  PropertyBag bag;
  a.text->WriteProperties(bag);
  EXPECT_TRUE(bag.Contains("Font"));
  EXPECT_FALSE(bag.Contains("ForeColor"));

  Box b;
  QSignalSpy changed(b.text, &QelTextBase::PropertyChanged);
  b.text->ReadProperties(bag);
  EXPECT_EQ(changed.count(), 0) << "loading is no change by the user";
  EXPECT_EQ(b.text->Text(), "12.5");
  EXPECT_FALSE(b.text->OnlyNumber());
  EXPECT_TRUE(b.text->UserDot());
  EXPECT_TRUE(b.text->SelAll());
  EXPECT_EQ(b.text->MaxLength(), 8);
  EXPECT_EQ(b.text->BorderColor(), 0x0000FFu);
  EXPECT_EQ(b.text->MouseOutColor(), 0x00FF00u);
  EXPECT_EQ(b.text->Alignment(), 2);
  EXPECT_TRUE(b.text->Locked());
  EXPECT_TRUE(b.field()->isReadOnly());
  EXPECT_EQ(b.field()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(b.text->font().pointSize(), 15);

  // An empty bag brings every default back.
  b.text->ReadProperties(PropertyBag());
  EXPECT_EQ(b.text->Text(), "Text1");
  EXPECT_TRUE(b.text->OnlyNumber());
  EXPECT_FALSE(b.text->Locked());
  EXPECT_EQ(b.field()->echoMode(), QLineEdit::Normal);

  QSignalSpy set(b.text, &QelTextBase::PropertyChanged);
  b.text->setSelAll(true);
  ASSERT_EQ(set.count(), 1);
  EXPECT_EQ(set.at(0).at(0).toString(), "SelAll");
}

TEST(QelTextFilter, DefaultBoxTakesDigitsAndFourControlCharactersOnly) {
  Box b;
  for (int c = '0'; c <= '9'; ++c) EXPECT_EQ(b.text->FilterCharacter(c), c);
  for (int c : {8, 22, 3, 13}) EXPECT_EQ(b.text->FilterCharacter(c), c);
  for (int c : {int('a'), int('Z'), int('-'), int('+'), int(' '), int('.'), 24, 1, 26, 27, 0x4E2D}) EXPECT_EQ(b.text->FilterCharacter(c), 0) << c;

  b.text->setText("");
  Type(b.field(), "a1b-2 3.");
  EXPECT_EQ(b.text->Text(), "123");
  // Ctrl+A, Ctrl+X and Ctrl+Z are swallowed: the text stays whole.
  QTest::keyClick(b.field(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(b.field(), Qt::Key_X, Qt::ControlModifier);
  QTest::keyClick(b.field(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(b.text->Text(), "123");
  QTest::keyClick(b.field(), Qt::Key_Backspace);
  EXPECT_EQ(b.text->Text(), "12");
}

TEST(QelTextFilter, UserDotAllowsOnePointEvenOverASelectedPoint) {
  Box b;
  b.text->setUserDot(true);
  b.text->setText("");
  Type(b.field(), "3.1.4");
  EXPECT_EQ(b.text->Text(), "3.14");
  b.field()->selectAll();  // the selection holds the point, still refused
  Type(b.field(), ".");
  EXPECT_EQ(b.text->Text(), "3.14");

  b.text->setUserDot(false);
  b.text->setText("");
  Type(b.field(), "3.1");
  EXPECT_EQ(b.text->Text(), "31");

  b.text->setOnlyNumber(false);
  b.text->setText("");
  Type(b.field(), "-a.b.");
  EXPECT_EQ(b.text->Text(), "-a.b.");
}

TEST(QelTextFilter, HostKeyPressSeesFilteredCodeAndMayChangeOrCancelIt) {
  Box b;
  b.text->setText("");
  std::vector<int> seen;
  QObject::connect(b.text, &QelTextBase::KeyPress, [&](int16_t& k) {
    seen.push_back(k);
    if (k == '5') k = 0;    // cancel a key the filter let through
    if (k == '7') k = '9';  // replace a character
    if (k == 0 && seen.size() == 1) k = '1';  // revive a swallowed one
  });
  Type(b.field(), "x5 7");
  EXPECT_EQ(seen, (std::vector<int>{0, '5', 0, '7'}));
  EXPECT_EQ(b.text->Text(), "19");

  // Enter reaches the host as 13 (the input window takes it as OK).
  seen.clear();
  QTest::keyClick(b.field(), Qt::Key_Return);
  EXPECT_EQ(seen, (std::vector<int>{13}));
  // Keys that type nothing raise no KeyPress but still move the cursor.
  seen.clear();
  QTest::keyClick(b.field(), Qt::Key_Left);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(b.field()->cursorPosition(), 1);
}

TEST(QelTextFilter, PasteThroughCtrlVIsLetIn) {
  Box b;
  b.text->setText("");
  QApplication::clipboard()->setText("abc");
  QTest::keyClick(b.field(), Qt::Key_V, Qt::ControlModifier);
  if (QApplication::clipboard()->text() != "abc") GTEST_SKIP() << "no clipboard here";
  EXPECT_EQ(b.text->Text(), "abc");  // what paste brings is the host's business
}

TEST(QelTextFilter, InputMethodTextReachesFreeBoxesAndIsFilteredInNumberBoxes) {
  Box b;
  b.text->setOnlyNumber(false);
  b.text->setText("");
  int presses = 0;
  QObject::connect(b.text, &QelTextBase::KeyPress, [&](int16_t&) { ++presses; });
  CommitIme(b.field(), QString::fromUtf8("你好"));
  EXPECT_EQ(b.text->Text(), QString::fromUtf8("你好"));
  EXPECT_EQ(presses, 2);

  b.text->setOnlyNumber(true);
  b.text->setUserDot(true);
  b.text->setText("");
  CommitIme(b.field(), QString::fromUtf8("１2中3.4.5"));
  EXPECT_EQ(b.text->Text(), "23.45");

  // A character outside the basic plane stays whole or goes whole.
  b.text->setOnlyNumber(false);
  b.text->setText("");
  CommitIme(b.field(), QString::fromUtf8("a😀b"));
  EXPECT_EQ(b.text->Text(), QString::fromUtf8("a😀b"));
}

// Hover colours follow the pointer's enter and leave; nothing watches a
// resting pointer.
TEST(QelTextColours, HoverFocusAndLeaveFollowThePointer) {
  Box b;
  QLineEdit elsewhere(&b.host);  // takes the focus when the window becomes active
  elsewhere.setGeometry(10, 150, 100, 24);
  elsewhere.show();
  elsewhere.setFocus();
  RunEventsFor(20);
  ASSERT_FALSE(b.text->HasFocusFlag());
  QSignalSpy out(b.text, &QelTextBase::MouseOut);
  int moves = 0;
  QObject::connect(b.text, &QelTextBase::MouseMove, [&](int16_t&, int16_t&, float&, float&) { ++moves; });

  MoveOver(b.field());
  EXPECT_EQ(b.text->CurrentBackColor(), QelTextBase::kDefaultMouseMoveColor);
  EXPECT_TRUE(b.text->AwaitingLeave());
  EXPECT_EQ(moves, 1);

  RunEventsFor(60);  // the pointer rests: nothing changes
  EXPECT_EQ(b.text->CurrentBackColor(), QelTextBase::kDefaultMouseMoveColor);
  EXPECT_EQ(out.count(), 0);

  SendLeave(b.field());
  EXPECT_FALSE(b.text->AwaitingLeave());
  EXPECT_EQ(b.text->CurrentBackColor(), QelTextBase::kDefaultMouseOutColor);
  EXPECT_EQ(out.count(), 1);
  SendLeave(b.field());
  EXPECT_EQ(out.count(), 1) << "MouseOut is raised once";

  // Focus: MouseInColor, hovering does not change it, leaving does not either.
  b.text->setSelAll(true);
  b.text->setText("12345");
  SendFocus(b.field(), QEvent::FocusIn);
  EXPECT_TRUE(b.text->HasFocusFlag());
  EXPECT_EQ(b.text->CurrentBackColor(), QelTextBase::kDefaultMouseInColor);
  EXPECT_EQ(b.field()->selectedText(), "12345");
  MoveOver(b.field());
  EXPECT_EQ(b.text->CurrentBackColor(), QelTextBase::kDefaultMouseInColor);
  EXPECT_FALSE(b.text->AwaitingLeave());
  SendLeave(b.field());
  EXPECT_EQ(b.text->CurrentBackColor(), QelTextBase::kDefaultMouseInColor);
  EXPECT_EQ(out.count(), 1);

  // Losing the focus with the pointer elsewhere: MouseOut right after.
  SendFocus(b.field(), QEvent::FocusOut);
  EXPECT_EQ(b.text->CurrentBackColor(), QelTextBase::kDefaultMouseOutColor);
  EXPECT_TRUE(WaitUntil([&] { return out.count() == 2; }, 1000));
  EXPECT_FALSE(b.text->AwaitingLeave());

  // The multi-line box watches its text area the same way.
  QelTextMu multi(&b.host);
  multi.setGeometry(10, 60, 150, 60);
  multi.show();
  QSignalSpy multiOut(&multi, &QelTextBase::MouseOut);
  auto* area = static_cast<QPlainTextEdit*>(multi.Text1())->viewport();
  MoveOver(area);
  EXPECT_EQ(multi.CurrentBackColor(), QelTextBase::kDefaultMouseMoveColor);
  SendLeave(area);
  EXPECT_EQ(multi.CurrentBackColor(), QelTextBase::kDefaultMouseOutColor);
  EXPECT_EQ(multiOut.count(), 1);
}

TEST(QelTextColours, NewMouseOutColourWaitsForTheNextLayout) {
  Box b;
  b.text->setMouseOutColor(0x123456);
  EXPECT_EQ(b.text->CurrentBackColor(), QelTextBase::kDefaultMouseOutColor);
  b.text->resize(160, 30);
  EXPECT_EQ(b.text->CurrentBackColor(), 0x123456u);
  // The frame colour applies at once: the corner pixel shows it.
  b.text->setBorderColor(0x0000FF);
  const QImage shot = b.text->grab().toImage();
  EXPECT_EQ(shot.pixelColor(0, 0), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(1, 1), QColor(0x56, 0x34, 0x12));
}

TEST(QelTextLayout, SizeSnapsToOneLineAndMinimumWidth) {
  Box b;
  b.text->resize(5, 3);
  EXPECT_EQ(b.text->width(), 12);
  EXPECT_EQ(b.text->height(), b.text->MinimumHeightPixels());
  EXPECT_GE(b.text->MinimumHeightPixels(), 12 + 8);  // 9 pt = 180 twips, plus 120 twips of insets
  b.text->resize(200, 80);
  EXPECT_EQ(b.field()->geometry(), QRect(4, 4, 192, 72));
  QFont big = b.text->font();
  big.setPointSize(30);
  b.text->setFont(big);
  EXPECT_GE(b.text->height(), 30 * 20 / 15 + 8);
}

TEST(QelTextMouse, ClickAndDoubleClickEvents) {
  Box b;
  QSignalSpy click(b.text, &QelTextBase::Click);
  QSignalSpy dbl(b.text, &QelTextBase::DblClick);
  int down = 0;
  QObject::connect(b.text, &QelTextBase::MouseDown, [&](int16_t&, int16_t&, float&, float&) { ++down; });
  QTest::mouseClick(b.field(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(click.count(), 1);
  EXPECT_EQ(down, 1);
  QTest::mouseDClick(b.field(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(dbl.count(), 1);
  QTest::mouseClick(b.field(), Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(click.count(), 1) << "the right button is no click";
}

TEST(QelTextMu, LineBreaksLengthLimitAndSharedFilter) {
  QWidget host;
  auto* mu = new QelTextMu(&host);
  mu->resize(200, 80);
  host.show();
  auto* field = static_cast<QPlainTextEdit*>(mu->Text1());
  EXPECT_EQ(field->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  mu->setText("one\r\ntwo");
  EXPECT_EQ(field->toPlainText(), "one\ntwo");
  EXPECT_EQ(mu->Text(), "one\r\ntwo");

  mu->setText("");
  Type(field, "1a2");
  EXPECT_EQ(mu->Text(), "12");
  mu->setOnlyNumber(false);
  mu->setMaxLength(5);
  Type(field, "abcdef");
  EXPECT_EQ(mu->Text(), "12abc");
  CommitIme(field, QString::fromUtf8("中文"));
  EXPECT_EQ(mu->Text(), "12abc");
  // Password characters apply to the single-line box only.
  mu->setPasswordChar("*");
  EXPECT_EQ(mu->PasswordChar(), "*");
  mu->setText("xy");
  EXPECT_EQ(field->toPlainText(), "xy");
}
