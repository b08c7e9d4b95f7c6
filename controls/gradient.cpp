#include "controls/gradient.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

#include "core/message_service.h"

namespace {

constexpr double kDegreesToRadians = 0.017453292519943278;

// Nearest whole number, halves to the even neighbour (the default FP rounding mode).
int RoundEven(double value) {
  double r = std::nearbyint(value);
  if (!(r > -2147483648.0)) return INT32_MIN;
  if (!(r < 2147483647.0)) return INT32_MAX;
  return static_cast<int>(r);
}

float ReduceDegrees(double a) {
  if (!std::isfinite(a)) return 0.0f;
  double reduced = a - 360.0 * std::floor(a / 360.0);
  float f = static_cast<float>(reduced);
  // A value a hair below 360 can round up to 360 in single precision.
  if (!(f < 360.0f) || f < 0.0f) f = 0.0f;
  return f;
}

struct PointF {
  float x, y;
};

// Turns `point` about `centre` by `a` degrees (counter-clockwise on screen).
void RotatePoint(const PointF& centre, PointF& point, double a) {
  double r = a * kDegreesToRadians;
  double dx = static_cast<double>(point.x) - centre.x;
  double dy = static_cast<double>(point.y) - centre.y;
  point.x = static_cast<float>(centre.x + dx * std::cos(r) + dy * std::sin(r));
  point.y = static_cast<float>(centre.y - dx * std::sin(r) + dy * std::cos(r));
}

ColourValue StoredColour(ColourValue value) {
  // Only the classic colour slots (index below 25) are translated when set.
  if (IsSystemColourValue(value) && (value & ~kSystemColourFlag) < 25u) return ResolveColourValue(value);
  return value;
}

uint32_t ToArgb(ColourValue value) {
  return 0xFF000000u | (static_cast<uint32_t>(RedOf(value)) << 16) | (static_cast<uint32_t>(GreenOf(value)) << 8) |
         static_cast<uint32_t>(BlueOf(value));
}

bool IsDirectFormat(QImage::Format f) {
  return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

void ReportFailure(const char* what, const QString& title) {
  ProMod::ShowMsgBox(QString::fromLocal8Bit(what), 1, title, ProMod::kIconWarning);
}

}  // namespace

void clsGradient::setColor1(ColourValue lData) { color1_ = StoredColour(lData); }
void clsGradient::setColor2(ColourValue lData) { color2_ = StoredColour(lData); }
void clsGradient::setAngle(float fData) { angle_ = ReduceDegrees(fData); }

int32_t clsGradient::BlendColors(ColourValue lColor1, ColourValue lColor2, int32_t lSteps,
                                 std::vector<ColourValue>& laRetColors) {
  if (lSteps < 2) lSteps = 2;
  const int c1[3] = {RedOf(lColor1), GreenOf(lColor1), BlueOf(lColor1)};
  const int c2[3] = {RedOf(lColor2), GreenOf(lColor2), BlueOf(lColor2)};
  float d[3];
  for (int c = 0; c < 3; ++c) d[c] = static_cast<float>(c2[c] - c1[c]) / static_cast<float>(lSteps);
  laRetColors.assign(static_cast<size_t>(lSteps), 0u);
  laRetColors[0] = lColor1;
  laRetColors[static_cast<size_t>(lSteps) - 1] = lColor2;
  for (int32_t i = 1; i <= lSteps - 2; ++i) {
    int ch[3];
    for (int c = 0; c < 3; ++c) ch[c] = RoundEven(static_cast<double>(i) * d[c] + c1[c]);
    laRetColors[static_cast<size_t>(i)] = RgbValue(ch[0], ch[1], ch[2]);
  }
  return lSteps;
}

std::vector<clsGradient::SweepLine> clsGradient::SweepLines(int W, int H) const {
  std::vector<SweepLine> lines;
  if (W <= 1 || H <= 1) return lines;

  // 1. Centre, side and half length of a line long enough to cross the surface.
  const PointF centre{static_cast<float>(W / 2), static_cast<float>(H / 2)};
  const double side = std::max(W, H);
  const double half = (std::sqrt(side * side + side * side) + 2.0) / 2.0;

  // 2. The first line, turned to run at right angles to the gradient.
  PointF p0{static_cast<float>(centre.x - half), centre.y};
  PointF p1{static_cast<float>(centre.x + half), centre.y};
  const double turn = ReduceDegrees(static_cast<double>(angle_) + 90.0);
  RotatePoint(centre, p0, turn);
  RotatePoint(centre, p1, turn);

  // 3. Starting side and step: steep lines sweep sideways, flat ones up or down.
  const double dx = std::fabs(static_cast<double>(p0.x) - p1.x);
  const double dy = std::fabs(static_cast<double>(p0.y) - p1.y);
  const bool steep = dy >= dx;
  const float a = angle_;
  float ox = 0.0f, oy = 0.0f;
  int stepX = 0, stepY = 0;
  const float fromLeft = -std::max(p0.x, p1.x);
  const float fromRight = static_cast<float>(W) - std::min(p0.x, p1.x);
  const float fromBottom = static_cast<float>(H) - std::min(p0.y, p1.y);
  const float fromTop = -std::max(p0.y, p1.y);
  if (a >= 0.0f && a <= 90.0f) {
    if (steep) { ox = fromLeft; stepX = 1; } else { oy = fromBottom; stepY = -1; }
  } else if (a > 90.0f && a <= 180.0f) {
    if (steep) { ox = fromRight; stepX = -1; } else { oy = fromBottom; stepY = -1; }
  } else if (a > 180.0f && a <= 270.0f) {
    if (steep) { ox = fromRight; stepX = -1; } else { oy = fromTop; stepY = 1; }
  } else {
    if (steep) { ox = fromLeft; stepX = 1; } else { oy = fromTop; stepY = 1; }
  }

  // 4. Ends of every line, one pixel apart along the step axis, until a line
  // lies wholly beyond the far edge.
  std::vector<QPoint> points;
  points.reserve(1000);
  points.emplace_back(RoundEven(static_cast<double>(p0.x) + ox), RoundEven(static_cast<double>(p0.y) + oy));
  points.emplace_back(RoundEven(static_cast<double>(p1.x) + ox), RoundEven(static_cast<double>(p1.y) + oy));
  auto beyond = [&](const QPoint& q) {
    if (stepX > 0) return q.x() > W;
    if (stepX < 0) return q.x() < 0;
    if (stepY > 0) return q.y() > H;
    return q.y() < 0;
  };
  for (size_t k = 2;; ++k) {
    if (points.size() == points.capacity()) points.reserve(points.size() + 1000);
    const QPoint& prev = points[k - 2];
    points.emplace_back(prev.x() + stepX, prev.y() + stepY);
    if (beyond(points[k]) && beyond(points[k - 1])) break;
  }

  // 5. One colour per line.
  const size_t n = points.size();
  std::vector<ColourValue> colours;
  BlendColors(color1_, color2_, RoundEven(static_cast<double>(n) / 2.0), colours);

  // 6. Pair the points into lines.
  lines.reserve(n / 2);
  for (size_t j = 0; j + 1 < n; j += 2) lines.push_back({points[j], points[j + 1], colours[j / 2]});
  return lines;
}

void clsGradient::DrawLinePixels(QImage& image, QPoint from, QPoint to, uint32_t argb) {
  const int W = image.width(), H = image.height();
  if (W <= 0 || H <= 0 || !IsDirectFormat(image.format())) return;
  const long long x0 = from.x(), y0 = from.y();
  const long long ddx = static_cast<long long>(to.x()) - x0, ddy = static_cast<long long>(to.y()) - y0;
  const long long adx = ddx < 0 ? -ddx : ddx, ady = ddy < 0 ? -ddy : ddy;
  const int sx = ddx < 0 ? -1 : 1, sy = ddy < 0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const long long major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  if (major == 0) return;  // a line that ends where it starts draws nothing
  const long long m0 = xMajor ? x0 : y0, n0 = xMajor ? y0 : x0;
  const int smajor = xMajor ? sx : sy, sminor = xMajor ? sy : sx;
  const long long majorExtent = xMajor ? W : H, minorExtent = xMajor ? H : W;

  // Steps k = 0 .. major-1 (the end pixel is left out); keep those whose
  // major coordinate lies on the surface.
  long long kFirst, kLast;
  if (smajor > 0) {
    kFirst = std::max(0LL, -m0);
    kLast = std::min(major - 1, majorExtent - 1 - m0);
  } else {
    kFirst = std::max(0LL, m0 - (majorExtent - 1));
    kLast = std::min(major - 1, m0);
  }
  for (long long k = kFirst; k <= kLast; ++k) {
    // Minor offset: k * minor / major, rounded to nearest (a tie moves away
    // from the start), the same for every line of a given slope.
    long long off = (2 * k * minor + major) / (2 * major);
    long long mj = m0 + smajor * k;
    long long mn = n0 + sminor * off;
    if (mn < 0 || mn >= minorExtent) continue;
    const int px = static_cast<int>(xMajor ? mj : mn), py = static_cast<int>(xMajor ? mn : mj);
    reinterpret_cast<uint32_t*>(image.scanLine(py))[px] = argb;
  }
}

int clsGradient::DrawGradientLines(QImage& image, int W, int H) const {
  int j = 0;
  try {
    const std::vector<SweepLine> lines = SweepLines(W, H);
    for (const SweepLine& line : lines) {
      DrawLinePixels(image, line.from, line.to, ToArgb(line.colour));
      j += 2;
    }
  } catch (const std::exception& e) {
    ReportFailure(e.what(), QStringLiteral("GradientRect"));
  }
  return j;
}

bool clsGradient::Draw(QPaintDevice* picObj) const {
  if (!picObj) return false;
  try {
    const int W = picObj->width(), H = picObj->height();
    if (W <= 1 || H <= 1) return false;
    if (picObj->devType() == QInternal::Image) {
      QImage* image = static_cast<QImage*>(picObj);
      if (IsDirectFormat(image->format())) return DrawGradientLines(*image, image->width(), image->height()) > 0;
    }
    QPainter painter(picObj);
    if (!painter.isActive()) return false;
    return Draw(painter, W, H);
  } catch (const std::exception& e) {
    ReportFailure(e.what(), QString());
    return false;
  }
}

bool clsGradient::Draw(QPainter& painter, int W, int H) const {
  if (W <= 1 || H <= 1 || !painter.isActive()) return false;
  try {
    QImage sweep(W, H, QImage::Format_ARGB32_Premultiplied);
    if (sweep.isNull()) throw std::bad_alloc();
    sweep.fill(Qt::transparent);
    const bool drawn = DrawGradientLines(sweep, W, H) > 0;
    painter.drawImage(0, 0, sweep);
    return drawn;
  } catch (const std::exception& e) {
    ReportFailure(e.what(), QString());
    return false;
  }
}
