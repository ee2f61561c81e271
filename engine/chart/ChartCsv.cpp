#include "engine/chart/ChartCsv.h"

#include "engine/model/NumberFormat.h"

#include <cctype>
#include <cstdio>

namespace {

void AppendNumber(std::string& out, double v)
{
  char buf[40];
  const int n = FormatInCLocale(buf, sizeof buf, "%.17g", v);
  if (n > 0 && static_cast<std::size_t>(n) < sizeof buf)
    out.append(buf, static_cast<std::size_t>(n));
}

std::string Comments(std::string_view systemText)
{
  std::string out;
  if (systemText.empty())
    return out;
  out += "# VANTO system\n";
  std::size_t start = 0;
  while (start < systemText.size()) {
    std::size_t end = systemText.find('\n', start);
    if (end == std::string_view::npos)
      end = systemText.size();
    out += "# ";
    out.append(systemText.substr(start, end - start));
    out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace

std::string CsvColumnName(std::string_view title, std::string_view fallback)
{
  if (title == "rad/s")
    return "w_rad_s";
  if (title == "Hz")
    return "f_hz";
  std::string name;
  bool gap = false;
  for (const char c : title) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) != 0 && u < 0x80) {
      if (gap && !name.empty())
        name += '_';
      name += static_cast<char>(std::tolower(u));
      gap = false;
    } else {
      gap = true;
    }
  }
  return name.empty() ? std::string(fallback) : name;
}

std::vector<CsvTable> ChartCsvTables(const DisplayList& list, std::string_view xTitle, std::string_view yTitle,
                                     std::string_view systemText)
{
  const std::string comments = Comments(systemText);
  const std::string columns = CsvColumnName(xTitle, "x") + ',' + CsvColumnName(yTitle, "y") + '\n';
  std::size_t curves = 0;
  for (std::size_t i = 0; i < list.size(); ++i)
    curves += list.item(i).kind == ItemKind::Polyline ? 1 : 0;
  std::vector<CsvTable> tables;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const ChartItem& it = list.item(i);
    if (it.kind != ItemKind::Polyline)
      continue;
    CsvTable& t = tables.emplace_back();
    t.text = comments;
    if (curves > 1) {
      // Which of the curves this is, by its pen, as the chart shows it.
      char pen[64];
      std::snprintf(pen, sizeof pen, "# curve %zu of %zu, colour #%06X\n", tables.size(), curves,
                    static_cast<unsigned>(it.colour));
      t.text += pen;
    }
    t.text += columns;
    const ChartPoint* p = list.points(it);
    for (std::size_t k = 0; k < it.count; ++k) {
      AppendNumber(t.text, p[k].x);
      t.text += ',';
      AppendNumber(t.text, p[k].y);
      t.text += '\n';
    }
  }
  if (tables.empty())
    tables.push_back({std::string(), comments + columns});
  if (tables.size() > 1)
    for (std::size_t i = 0; i < tables.size(); ++i)
      tables[i].suffix = '-' + std::to_string(i + 1);
  return tables;
}
