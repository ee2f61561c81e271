// Build-time tool: renders the program's scalable icon to a square PNG of
// the given side, for the fixed-size folders of the hicolor icon theme.
//   vanto-icon-render ICON.svg SIDE OUT.png

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
  if (argc != 4) {
    std::fprintf(stderr, "usage: vanto-icon-render ICON.svg SIDE OUT.png\n");
    return 2;
  }
  const int side = std::atoi(argv[2]);
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid() || side < 16 || side > 1024) {
    std::fprintf(stderr, "vanto-icon-render: cannot render %s at %s pixels\n", argv[1], argv[2]);
    return 1;
  }
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  svg.render(&painter);
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "vanto-icon-render: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
