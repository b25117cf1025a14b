#include "readout/report_printer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "readout/core/column_layout.h"
#include "readout/core/report_file.h"

namespace ulvo {

namespace {

constexpr int kColumnChars = 44;

QFont ReportFont(int points, bool bold) {
  // "Courier New" where it exists; elsewhere the font system picks a fixed-pitch face.
  QFont font(QStringLiteral("Courier New"), points);
  font.setStyleHint(QFont::TypeWriter, QFont::PreferMatch);
  font.setFixedPitch(true);
  font.setBold(bold);
  return font;
}

}  // namespace

std::string PrintReportFile(QPrinter& printer, const QString& path, const QString& title) {
  const std::vector<std::string> lines = ReadReportLines(path.toStdString());
  QPainter painter;
  if (!painter.begin(&printer)) return "Nie mogę drukować na wybranej drukarce.";
  const QFont text = ReportFont(7, false);
  painter.setFont(text);
  const QFontMetrics metrics(text, &printer);
  const int charWidth = metrics.horizontalAdvance(QLatin1Char('X'));
  const int lineHeight = metrics.height();
  const int columnWidth = kColumnChars * charWidth;
  const QRect page = painter.viewport();
  const int width = page.width();
  const int height = page.height();
  const int columns = std::max(1, width / std::max(1, columnWidth));
  const int left = (width - columns * columnWidth) / 2;
  const int top = 2 * lineHeight;
  const int bottom = height - 2 * lineHeight;
  const int rows = std::max(1, (height - 4 * lineHeight) / std::max(1, lineHeight));

  // The first pass: the layout only counts the pages.
  const ColumnLayout layout = LayOutColumns(lines, columns, rows);
  auto finishPage = [&](int number) {
    painter.setFont(ReportFont(8, true));
    painter.drawText(QRect(0, 0, width, top), Qt::AlignHCenter | Qt::AlignVCenter, title);
    painter.setFont(text);
    const int right = left + columns * columnWidth;
    painter.drawLine(left, top, right, top);
    painter.drawLine(left, bottom, right, bottom);
    for (int c = 0; c <= columns; ++c) {
      const int x = left + c * columnWidth;
      painter.drawLine(x, top, x, bottom);
    }
    painter.drawText(QRect(0, bottom, width, height - bottom), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("Strona %1 z %2").arg(number).arg(layout.pages));
  };
  // The second pass prints.
  int current = 0;
  bool onPage = false;
  for (const PlacedLine& line : layout.lines) {
    while (current < line.page) {
      finishPage(current + 1);
      printer.newPage();
      ++current;
      onPage = false;
    }
    const int x = line.column * columnWidth + charWidth + left;
    const int y = line.row * lineHeight + top + lineHeight / 4;
    painter.drawText(QRect(x, y, columnWidth - charWidth, lineHeight), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromStdString(line.text));
    onPage = true;
  }
  if (onPage) finishPage(current + 1);
  painter.end();
  return {};
}

}  // namespace ulvo
