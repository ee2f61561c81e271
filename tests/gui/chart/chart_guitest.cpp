// The chart widget: mapping on screen, isometric scaling, mouse zoom and
// pan, the mouse read-out event, crosshairs, and the pixels it renders.
#include "tests/gui/GuiTestSupport.h"

#include "gui/chart/ChartExport.h"
#include "gui/chart/EmbeddedSystem.h"
#include "gui/chart/TRChart.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <QtMath>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

class ChartTest : public GuiTest {
protected:
  void SetUp() override
  {
    GuiTest::SetUp();
    chart_ = std::make_unique<TRChart>();
    chart_->resize(600, 400);
    chart_->ZoomTo(0, 0, 10, 1);
    chart_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chart_.get()));
    chart_->ShowGraph();
  }
  void TearDown() override
  {
    chart_.reset();
    GuiTest::TearDown();
  }
  QPoint At(double x, double y) const { return chart_->DataToPixel(x, y).toPoint(); }

  // A real drag with the left button from a to b.
  void Drag(QPoint a, QPoint b)
  {
    QTest::mousePress(chart_.get(), Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseMove(chart_.get(), (a + b) / 2);
    QTest::mouseMove(chart_.get(), b);
    QTest::mouseRelease(chart_.get(), Qt::LeftButton, Qt::NoModifier, b);
  }

  std::unique_ptr<TRChart> chart_;
};

TEST_F(ChartTest, RangesMapOntoThePlotAreaAfterEveryResize)
{
  for (QSize size : {QSize(600, 400), QSize(900, 300), QSize(320, 480)}) {
    chart_->resize(size);
    chart_->ShowGraph();
    const QRectF a = chart_->PlotArea();
    ASSERT_TRUE(QRectF(QPointF(0, 0), QSizeF(size)).contains(a)) << size.width();
    // Room is left for the tick labels and the axis titles.
    EXPECT_GE(a.left(), 20.0);
    EXPECT_GE(size.height() - a.bottom(), 30.0);
    EXPECT_NEAR(chart_->DataToPixel(0, 0).x(), a.left(), 1e-9);
    EXPECT_NEAR(chart_->DataToPixel(10, 1).x(), a.right(), 1e-9);
    EXPECT_NEAR(chart_->DataToPixel(0, 0).y(), a.bottom(), 1e-9);
    EXPECT_NEAR(chart_->DataToPixel(10, 1).y(), a.top(), 1e-9);
    const QPointF d = chart_->PixelToData(a.center());
    EXPECT_NEAR(d.x(), 5.0, 1e-9);
    EXPECT_NEAR(d.y(), 0.5, 1e-9);
  }
}

TEST_F(ChartTest, LogAxisMapsDecadesEvenly)
{
  chart_->SetLogScaleX(true);
  chart_->ZoomTo(0.1, -20, 1000, 30);
  chart_->ShowGraph();
  const double d1 = chart_->DataToPixel(1, 0).x() - chart_->DataToPixel(0.1, 0).x();
  const double d2 = chart_->DataToPixel(1000, 0).x() - chart_->DataToPixel(100, 0).x();
  EXPECT_NEAR(d1, d2, 1e-9);
  EXPECT_NEAR(d1 * 4, chart_->PlotArea().width(), 1e-9);
}

TEST_F(ChartTest, IsometricGivesEqualUnitsAndKeepsTheRectangleInView)
{
  // 8 x 5 units asked for: a tall or square plot area keeps x and gains y
  // above; a flat one keeps y and gains x on both sides.
  chart_->ZoomTo(-5, -1, 3, 4);
  chart_->SetIsometric(true);
  for (QSize size : {QSize(600, 400), QSize(400, 600), QSize(800, 300), QSize(900, 200)}) {
    chart_->resize(size);
    chart_->ShowGraph();
    const QPointF o = chart_->DataToPixel(0, 0);
    const double ux = chart_->DataToPixel(1, 0).x() - o.x();
    const double uy = o.y() - chart_->DataToPixel(0, 1).y();
    EXPECT_NEAR(ux, uy, 1e-6) << size.width() << "x" << size.height();
    const QRectF a = chart_->PlotArea();
    const double unitsWide = 5.0 * a.width() / a.height();
    if (unitsWide <= 8.0) {
      EXPECT_DOUBLE_EQ(chart_->RangeLoX(), -5);
      EXPECT_DOUBLE_EQ(chart_->RangeHiX(), 3);
      EXPECT_DOUBLE_EQ(chart_->RangeLoY(), -1);
      EXPECT_NEAR(chart_->RangeHiY(), -1 + 8.0 * a.height() / a.width(), 1e-9);
    } else {
      EXPECT_DOUBLE_EQ(chart_->RangeLoY(), -1);
      EXPECT_DOUBLE_EQ(chart_->RangeHiY(), 4);
      EXPECT_NEAR(chart_->RangeLoX(), -1 - unitsWide / 2, 1e-9);
      EXPECT_NEAR(chart_->RangeHiX(), -1 + unitsWide / 2, 1e-9);
    }
  }
  // Back at the first size the first ranges return: the fit starts from the
  // rectangle asked for, not from the last one shown.
  chart_->resize(400, 600);
  chart_->ShowGraph();
  const double hiY = chart_->RangeHiY();
  chart_->resize(900, 200);
  chart_->ShowGraph();
  chart_->resize(400, 600);
  chart_->ShowGraph();
  EXPECT_DOUBLE_EQ(chart_->RangeHiY(), hiY);
  EXPECT_DOUBLE_EQ(chart_->RangeLoX(), -5);
}

TEST_F(ChartTest, ZoomToWidensAnEmptyRange)
{
  chart_->ZoomTo(3, -2, 3, -2);
  EXPECT_DOUBLE_EQ(chart_->RangeLoX(), 2);
  EXPECT_DOUBLE_EQ(chart_->RangeHiX(), 4);
  EXPECT_DOUBLE_EQ(chart_->RangeLoY(), -3);
  EXPECT_DOUBLE_EQ(chart_->RangeHiY(), -1);
}

TEST_F(ChartTest, ZoomDragFramesTheNewRanges)
{
  QSignalSpy zoomed(chart_.get(), &TRChart::OnZoomPan);
  chart_->SetMouseAction(maZoomWindPos);
  const QPoint a = At(2, 0.8), b = At(6, 0.2);
  const QPointF pa = chart_->PixelToData(a), pb = chart_->PixelToData(b);
  Drag(a, b);
  EXPECT_EQ(zoomed.count(), 1);
  EXPECT_NEAR(chart_->RangeLoX(), pa.x(), 1e-9);
  EXPECT_NEAR(chart_->RangeHiX(), pb.x(), 1e-9);
  EXPECT_NEAR(chart_->RangeLoY(), pb.y(), 1e-9);
  EXPECT_NEAR(chart_->RangeHiY(), pa.y(), 1e-9);
  EXPECT_NEAR(chart_->RangeLoX(), 2, 0.05);
  EXPECT_NEAR(chart_->RangeHiY(), 0.8, 0.01);
}

TEST_F(ChartTest, DragsThatDoNotChangeRanges)
{
  QSignalSpy zoomed(chart_.get(), &TRChart::OnZoomPan);
  const struct {
    MouseActMode mode;
    QPoint from, to;
  } cases[] = {
      {maZoomWindPos, At(5, 0.5), At(5, 0.5) + QPoint(2, 2)},  // a click, not a window
      {maNone, At(2, 0.8), At(6, 0.2)},                        // no mouse action
      {maPan, At(5, 0.5), At(5, 0.5)},                         // a pan that did not move
      {maZoomWindPos, QPoint(2, 2), At(6, 0.2)},               // starting outside the plot
  };
  for (const auto& c : cases) {
    chart_->SetMouseAction(c.mode);
    Drag(c.from, c.to);
    EXPECT_DOUBLE_EQ(chart_->RangeLoX(), 0) << c.mode;
    EXPECT_DOUBLE_EQ(chart_->RangeHiX(), 10) << c.mode;
    EXPECT_DOUBLE_EQ(chart_->RangeHiY(), 1) << c.mode;
  }
  EXPECT_EQ(zoomed.count(), 0);
}

TEST_F(ChartTest, PanDragShiftsTheRanges)
{
  QSignalSpy panned(chart_.get(), &TRChart::OnZoomPan);
  chart_->SetMouseAction(maPan);
  const QPoint a = At(5, 0.5);
  const double perPixelX = 10.0 / chart_->PlotArea().width();
  const double perPixelY = 1.0 / chart_->PlotArea().height();
  Drag(a, a + QPoint(100, -40));
  EXPECT_EQ(panned.count(), 1);
  EXPECT_NEAR(chart_->RangeLoX(), -100 * perPixelX, 1e-9);
  EXPECT_NEAR(chart_->RangeHiX(), 10 - 100 * perPixelX, 1e-9);
  EXPECT_NEAR(chart_->RangeLoY(), -40 * perPixelY, 1e-9);
  EXPECT_EQ(chart_->MouseAction(), maPan);  // panning stays on
}

TEST_F(ChartTest, PanOnALogAxisMovesByDecades)
{
  chart_->SetLogScaleX(true);
  chart_->ZoomTo(0.1, 0, 1000, 1);
  chart_->ShowGraph();
  chart_->SetMouseAction(maPan);
  const double decade = chart_->PlotArea().width() / 4;
  const QPoint a = At(10, 0.5);
  Drag(a, a - QPoint(qRound(decade), 0));
  EXPECT_NEAR(std::log10(chart_->RangeLoX()), 0.0, 0.01);
  EXPECT_NEAR(std::log10(chart_->RangeHiX()), 4.0, 0.01);
}

TEST_F(ChartTest, MouseMoveReportsInsideAndDataPosition)
{
  QSignalSpy moves(chart_.get(), &TRChart::OnMouseMoveInChart);
  const QPoint inside = At(2.5, 0.25);
  QTest::mouseMove(chart_.get(), inside);
  QTest::mouseMove(chart_.get(), QPoint(3, 3));  // in the margin
  ASSERT_GE(moves.count(), 2);
  const QList<QVariant> first = moves.at(moves.count() - 2), last = moves.last();
  EXPECT_TRUE(first.at(0).toBool());
  EXPECT_NEAR(first.at(1).toDouble(), 2.5, 10.0 / chart_->PlotArea().width());
  EXPECT_NEAR(first.at(2).toDouble(), 0.25, 1.0 / chart_->PlotArea().height());
  EXPECT_FALSE(last.at(0).toBool());
}

class PixelTest : public ChartTest {
protected:
  QImage Picture()
  {
    chart_->ShowGraph();
    return chart_->grab().toImage();
  }
  // True when a pixel within one pixel of p shows colour c: closer to c than
  // to the white background (antialiased lines cover pixels only in part).
  static bool Near(const QImage& img, QPointF p, QColor c)
  {
    auto dist = [](QColor a, QColor b) {
      return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
    };
    // Logical pixels to the image's device pixels (a high-DPI screen).
    const double dpr = img.devicePixelRatio();
    const int reach = qCeil(dpr);
    const QPoint c0 = (p * dpr).toPoint();
    for (int dy = -reach; dy <= reach; ++dy)
      for (int dx = -reach; dx <= reach; ++dx) {
        const QColor got = img.pixelColor(c0.x() + dx, c0.y() + dy);
        if (dist(got, c) < dist(got, Qt::white))
          return true;
      }
    return false;
  }
};

TEST_F(PixelTest, PolylineAndMarkersLandOnTheirPixels)
{
  chart_->SetGridDx(1e15);
  chart_->SetGridDy(1e15);
  chart_->SetDataColor(Qt::red);
  chart_->MoveTo(1, 0.2);
  chart_->DrawTo(9, 0.8);
  chart_->SetDataColor(Qt::blue);
  chart_->MarkAt(5, 0.2, kMarkDot);
  chart_->MarkAt(2, 0.9, kMarkCross);
  const QImage img = Picture();
  for (double x : {1.5, 3.0, 5.0, 7.25, 8.5}) {
    const double y = 0.2 + (x - 1) * 0.6 / 8;
    EXPECT_TRUE(Near(img, chart_->DataToPixel(x, y), Qt::red)) << x;
    EXPECT_FALSE(Near(img, chart_->DataToPixel(x, y) + QPointF(0, 6), Qt::red)) << x;
  }
  const QPointF dot = chart_->DataToPixel(5, 0.2);
  EXPECT_TRUE(Near(img, dot, Qt::blue));
  EXPECT_TRUE(Near(img, dot + QPointF(2, 2), Qt::blue));   // filled
  EXPECT_FALSE(Near(img, dot + QPointF(6, 0), Qt::blue));  // 7 px across
  const QPointF cross = chart_->DataToPixel(2, 0.9);
  EXPECT_TRUE(Near(img, cross + QPointF(3, 3), Qt::blue));
  EXPECT_TRUE(Near(img, cross + QPointF(-3, 3), Qt::blue));
  EXPECT_FALSE(Near(img, cross + QPointF(0, 4), Qt::blue));  // diagonal, not upright
}

TEST_F(PixelTest, ShowNewItemsDrawsWhatShowGraphWould)
{
  chart_->SetDataColor(Qt::darkGreen);
  chart_->MoveTo(0, 0);
  chart_->DrawTo(5, 1);
  chart_->ShowGraph();
  chart_->DrawTo(10, 0);  // continues the shown polyline
  chart_->SetDataColor(Qt::red);
  chart_->MarkAt(3, 0.3, kMarkCircle);
  chart_->EllipseItem(7, 0.5, 1, 0.2);
  chart_->ShowNewItems();
  const QImage incremental = chart_->grab().toImage();
  EXPECT_TRUE(Near(incremental, chart_->DataToPixel(7.5, 0.5), Qt::darkGreen));
  EXPECT_EQ(incremental, Picture());
}

TEST_F(PixelTest, CrossHairsAreDrawnOverThePlot)
{
  chart_->SetGridDx(1e15);
  chart_->SetGridDy(1e15);
  chart_->CrossHairSetup(1, Qt::red, 1, 0, 2);
  chart_->CrossHairPosition(1, 4, 0);
  chart_->CrossHairSetup(2, Qt::blue, 1, 0, 1);
  chart_->CrossHairPosition(2, 0, 0.75);
  const QImage img = Picture();
  for (double y : {0.1, 0.5, 0.9})
    EXPECT_TRUE(Near(img, chart_->DataToPixel(4, y), Qt::red)) << y;
  for (double x : {1.0, 6.0, 9.0})
    EXPECT_TRUE(Near(img, chart_->DataToPixel(x, 0.75), Qt::blue)) << x;
  chart_->CrossHairSetup(1, Qt::red, 1, 0, 0);
  EXPECT_FALSE(Near(Picture(), chart_->DataToPixel(4, 0.5), Qt::red));
}

TEST_F(PixelTest, GraticuleSpacings)
{
  chart_->ZoomTo(-1, -1, 1, 1);
  const QColor grid(0xD8, 0xD8, 0xD8);
  const struct {
    double spacing;
    bool atZero, atTick;  // grid at x = 0, at x = 0.4 (a tick at steps 0.1 and 0.2)
  } cases[] = {{0, true, true}, {1e15, false, false}, {1, true, false}};
  for (const auto& c : cases) {
    chart_->SetGridDx(c.spacing);
    chart_->SetGridDy(c.spacing);
    const QImage img = Picture();
    EXPECT_EQ(Near(img, chart_->DataToPixel(0, 0.3), grid), c.atZero) << c.spacing;
    EXPECT_EQ(Near(img, chart_->DataToPixel(0.4, 0.3), grid), c.atTick) << c.spacing;
  }
}

TEST_F(PixelTest, FarOffDataAndGapsDoNotSpoilTheLine)
{
  chart_->SetGridDx(1e15);
  chart_->SetGridDy(1e15);
  chart_->SetDataColor(Qt::red);
  chart_->MoveTo(-1e12, 0.5);  // a line from far outside across the plot
  chart_->DrawTo(1e12, 0.5);
  chart_->MoveTo(1, 0.1);
  chart_->DrawTo(2, NAN);  // a gap, then the line goes on
  chart_->DrawTo(3, 0.1);
  chart_->DrawTo(4, 0.1);
  const QImage img = Picture();
  for (double x : {0.5, 5.0, 9.5})
    EXPECT_TRUE(Near(img, chart_->DataToPixel(x, 0.5), Qt::red)) << x;
  EXPECT_TRUE(Near(img, chart_->DataToPixel(3.5, 0.1), Qt::red));
  EXPECT_FALSE(Near(img, chart_->DataToPixel(1.5, 0.1), Qt::red));
}

TEST_F(PixelTest, FilesRenderTheSamePicture)
{
  chart_->SetCaption(QStringLiteral("Export"));
  chart_->SetDataColor(Qt::red);
  chart_->MoveTo(0, 0);
  chart_->DrawTo(10, 1);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const struct {
    const char* name;
    QByteArray head;
  } files[] = {{"c.png", "\x89PNG"}, {"c.svg", "<?xml"}, {"c.pdf", "%PDF"}};
  for (const auto& f : files) {
    const QString path = dir.filePath(QString::fromLatin1(f.name));
    QString error;
    ASSERT_TRUE(ExportChart(*chart_, path, QSize(500, 300), error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << f.name;
    EXPECT_TRUE(file.read(f.head.size()).startsWith(f.head)) << f.name;
  }
  EXPECT_EQ(QImage(dir.filePath("c.png")).size(), QSize(500, 300));
  QFile svg(dir.filePath("c.svg"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  EXPECT_TRUE(svg.readAll().contains("Export"));
  // The image of a file equals the widget's picture at the widget's size.
  EXPECT_EQ(
      RenderChartImage(*chart_, chart_->size(), chart_->devicePixelRatioF()).convertToFormat(QImage::Format_RGB32),
      Picture().convertToFormat(QImage::Format_RGB32));
  QString error;
  EXPECT_FALSE(ExportChart(*chart_, dir.filePath("c.bmp"), QSize(100, 100), error));
  EXPECT_FALSE(error.isEmpty());
  for (const char* name : {"missing/c.png", "missing/c.svg", "missing/c.pdf"}) {
    error.clear();
    EXPECT_FALSE(ExportChart(*chart_, dir.filePath(QString::fromLatin1(name)), QSize(100, 100), error)) << name;
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot write"))) << name;
  }
}

// Exported files open as what they claim and give back the system text
// they carry, whatever characters it holds; the CSV files hold exactly the
// points drawn, one file per curve; a picture without a system is refused.
TEST_F(PixelTest, ExportedFilesCarryTheSystemAndThePointsDrawn)
{
  chart_->SetCaption(QStringLiteral("Exported"));
  chart_->SetIdAbscissa(QStringLiteral("Time"));
  chart_->SetIdOrdinate(QStringLiteral("Gain/dB"));
  const ChartPoint curves[2][3] = {{{0.1, 1.0 / 3}, {2.0 / 3, -1e-300}, {9.75, 1e17}},
                                   {{-0.0, 0.7}, {5.5, 0.2}, {10, 0.9}}};
  for (const auto& curve : curves) {
    chart_->SetDataColor(&curve == &curves[0] ? Qt::red : Qt::blue);
    chart_->MoveTo(curve[0].x, curve[0].y);
    chart_->DrawTo(curve[1].x, curve[1].y);
    chart_->DrawTo(curve[2].x, curve[2].y);
  }
  chart_->MarkAt(5, 0.5, kMarkCross);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ExportOptions options;
  options.dpi = 300;
  options.systemText = "VANTO system file 1\n[system]\ntext = \"a<b & c>d ]]> \\\"q\\\"\"\nnote = \xC3\xA9t\xC3\xA9\n";
  const QSize size(500, 300);
  for (const char* name : {"c.png", "c.svg", "c.pdf", "c.csv"}) {
    QString error;
    ASSERT_TRUE(ExportChart(*chart_, dir.filePath(QLatin1String(name)), size, error, options)) << name;
  }

  // PNG: 300 dpi is the picture at 500 x 300 scaled by 300/96.
  QImageReader png(dir.filePath("c.png"));
  EXPECT_EQ(png.format(), "png");
  EXPECT_EQ(png.size(), QSize(1563, 938));
  EXPECT_EQ(png.read().dotsPerMeterX(), 11811);
  // SVG: well-formed, the texts kept as text elements.
  QFile svgFile(dir.filePath("c.svg"));
  ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
  QXmlStreamReader svg(svgFile.readAll());
  QStringList texts;
  while (!svg.atEnd())
    if (svg.readNext() == QXmlStreamReader::StartElement && svg.name() == QLatin1String("text"))
      texts << svg.readElementText().trimmed();
  EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
  EXPECT_TRUE(texts.contains(QStringLiteral("Exported"))) << texts.join(QLatin1Char('|')).toStdString();
  // PDF: the last cross-reference section (the appended information) points
  // at its object, and its trailer at the cross-reference section before.
  QFile pdfFile(dir.filePath("c.pdf"));
  ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
  const QByteArray pdf = pdfFile.readAll();
  EXPECT_TRUE(pdf.startsWith("%PDF-1."));
  EXPECT_TRUE(pdf.endsWith("%%EOF\n"));
  const qsizetype tail = pdf.lastIndexOf("startxref\n");
  const QByteArray xrefAt = pdf.mid(tail + 10, pdf.indexOf('\n', tail + 10) - tail - 10);
  const QList<QByteArray> xref = pdf.mid(xrefAt.toLongLong()).split('\n');
  ASSERT_GE(xref.size(), 6);
  EXPECT_EQ(xref[0], "xref");
  const QByteArray object = xref[1].split(' ').value(0);
  EXPECT_EQ(xref[2].size(), 19);  // with the '\n' the 20 bytes of an entry
  EXPECT_TRUE(pdf.mid(xref[2].left(10).toLongLong()).startsWith(object + " 0 obj\n<<"));
  const QByteArray trailer = xref[4];
  const QByteArray prev = trailer.mid(trailer.indexOf("/Prev ") + 6).split(' ').value(0);
  EXPECT_TRUE(trailer.contains("/Info " + object + " 0 R")) << trailer.toStdString();
  EXPECT_TRUE(pdf.mid(prev.toLongLong()).startsWith("xref\n")) << prev.toStdString();

  for (const char* name : {"c.png", "c.svg", "c.pdf"}) {
    std::string text;
    QString error;
    EXPECT_TRUE(ReadEmbeddedSystem(dir.filePath(QLatin1String(name)), text, error)) << name;
    EXPECT_EQ(text, options.systemText) << name;
  }

  // CSV: a file per curve, the numbers back exactly.
  EXPECT_EQ(CsvExportPaths(*chart_, dir.filePath("c.csv")),
            QStringList({dir.filePath("c-1.csv"), dir.filePath("c-2.csv")}));
  for (int k = 0; k < 2; ++k) {
    QFile csv(dir.filePath(QStringLiteral("c-%1.csv").arg(k + 1)));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly | QIODevice::Text));
    const QByteArray text = csv.readAll();
    EXPECT_TRUE(text.startsWith("# VANTO system\n# VANTO system file 1\n")) << k;
    const QString curve = QStringLiteral("# curve %1 of 2, colour #%2\n").arg(k + 1).arg(k ? "0000FF" : "FF0000");
    EXPECT_TRUE(text.contains(curve.toLatin1())) << text.toStdString();
    QList<QByteArray> rows;
    for (const QByteArray& line : text.split('\n'))
      if (!line.startsWith('#') && !line.isEmpty())
        rows << line;
    ASSERT_EQ(rows.size(), 4) << k;
    EXPECT_EQ(rows[0], "time,gain_db");
    for (int i = 0; i < 3; ++i) {
      const QList<QByteArray> cells = rows[i + 1].split(',');
      ASSERT_EQ(cells.size(), 2);
      EXPECT_EQ(std::strtod(cells[0].constData(), nullptr), curves[k][i].x) << k << ' ' << i;
      EXPECT_EQ(std::strtod(cells[1].constData(), nullptr), curves[k][i].y) << k << ' ' << i;
    }
  }
  EXPECT_FALSE(QFile::exists(dir.filePath("c.csv")));

  // Without a system text nothing is carried, and reading says so.
  for (const char* name : {"plain.png", "plain.svg", "plain.pdf"}) {
    const QString path = dir.filePath(QLatin1String(name));
    QString error;
    ASSERT_TRUE(ExportChart(*chart_, path, QSize(200, 100), error));
    std::string text = "left";
    EXPECT_FALSE(ReadEmbeddedSystem(path, text, error)) << name;
    EXPECT_EQ(error, path + QStringLiteral(": the picture carries no VANTO system in its metadata"));
    EXPECT_TRUE(text.empty());
  }
}

// The clipboard gets the picture as an image and as SVG with the system,
// and the points as CSV text.
TEST_F(PixelTest, ClipboardDataHoldsImageSvgAndCsv)
{
  chart_->MoveTo(0, 0.25);
  chart_->DrawTo(10, 0.5);
  const std::unique_ptr<QMimeData> mime(ChartMimeData(*chart_, "VANTO system file 1\n"));
  EXPECT_TRUE(mime->hasImage());
  EXPECT_EQ(qvariant_cast<QImage>(mime->imageData()).size(), chart_->size());
  const QByteArray svg = mime->data(QStringLiteral("image/svg+xml"));
  EXPECT_TRUE(svg.contains("<svg"));
  EXPECT_TRUE(svg.contains(">VANTO system file 1\n</vanto:system>"));
  EXPECT_EQ(mime->data(QStringLiteral("text/csv")), "x,y\n0,0.25\n10,0.5\n");
  EXPECT_EQ(mime->text(), QStringLiteral("x,y\n0,0.25\n10,0.5\n"));
}

TEST_F(PixelTest, HighDpiImageIsSharperNotDifferent)
{
  chart_->SetDataColor(Qt::red);
  chart_->MoveTo(0, 0.5);
  chart_->DrawTo(10, 0.5);
  const QImage img = RenderChartImage(*chart_, QSize(400, 300), 2.0);
  EXPECT_EQ(img.size(), QSize(800, 600));
  EXPECT_EQ(img.devicePixelRatio(), 2.0);
  TRChart same;
  same.resize(400, 300);
  same.ZoomTo(0, 0, 10, 1);
  same.ShowGraph();
  EXPECT_TRUE(Near(img, same.DataToPixel(5, 0.5), Qt::red));
  EXPECT_FALSE(Near(img, same.DataToPixel(5, 0.6), Qt::red));
}

// The width in device pixels of the line of colour c that crosses the image
// near logical point at, counted along a row (across) or a column: the sum
// of the pixels' coverage, read from the green channel (white 1, c none).
double LineWidth(const QImage& img, QPointF at, bool alongRow, QColor c)
{
  const double dpr = img.devicePixelRatio();
  const QPoint centre = (at * dpr).toPoint();
  const int reach = qCeil(4 * dpr);
  double sum = 0.0;
  for (int d = -reach; d <= reach; ++d) {
    const QPoint px = alongRow ? centre + QPoint(d, 0) : centre + QPoint(0, d);
    sum += (255.0 - img.pixelColor(px).green()) / (255.0 - c.green());
  }
  return sum;
}

TEST_F(PixelTest, PensFollowTheDevicePixelRatio)
{
  chart_->SetGridDx(1e15);
  chart_->SetGridDy(1e15);
  chart_->SetDataColor(Qt::red);
  chart_->MoveTo(0, 0.5);
  chart_->DrawTo(10, 0.5);
  chart_->SetDataColor(Qt::blue);
  chart_->LineItem(0, 0.25, 10, 0.25);
  chart_->ShowGraph();
  const QRectF plot = chart_->PlotArea();
  for (const double dpr : {1.0, 2.0, 3.0}) {
    SCOPED_TRACE(dpr);
    const QImage img = RenderChartImage(*chart_, chart_->size(), dpr);
    EXPECT_NEAR(LineWidth(img, chart_->DataToPixel(5.3, 0.5), false, Qt::red), dpr, 0.25) << "curve";
    EXPECT_NEAR(LineWidth(img, chart_->DataToPixel(5.3, 0.25), false, Qt::blue), dpr, 0.25) << "line item";
    EXPECT_NEAR(
        LineWidth(img, QPointF(plot.left() + 0.5, chart_->DataToPixel(5.3, 0.37).y()), true, QColor(0x20, 0x20, 0x20)),
        dpr, 0.25)
        << "axis frame";
  }
}

}  // namespace
