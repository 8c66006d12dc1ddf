#include "Plot.h"

#include "Session.h"
#include "TempOutput.h"
#include "ToolError.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace zandrel::tool {
namespace {

constexpr double kPanelWidth = 300, kMargin = 40, kTitleHeight = 22, kAxisHeight = 34;
constexpr double kPlotSize = kPanelWidth - 2 * kMargin;  // square plotting area, in pixels
constexpr double kPanelHeight = kTitleHeight + kPlotSize + kAxisHeight;
constexpr std::size_t kPanelsPerRow = 3;
// Finer than a pixel, so the simplified line looks exactly like the full one.
constexpr double kTolerance = 0.15;

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return std::strcmp(text, "-0.0") == 0 ? "0.0" : text;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else if (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F)
            out += c;
        else
            out += '?';
    }
    return out;
}

// The smallest half-unit range that holds every finite output, and at least -1..1.
double outputRange(const std::vector<Point>& curve) {
    double largest = 1.0;
    for (const Point& p : curve)
        if (std::isfinite(p.y)) largest = std::max(largest, std::fabs(p.y));
    return std::ceil(largest * 2.0) / 2.0;
}

std::string drawPanel(const Panel& panel, double left, double top) {
    const double range = outputRange(panel.curve);
    const double x0 = left + kMargin, y0 = top + kTitleHeight, size = kPlotSize;
    const auto px = [&](double x) { return x0 + (x + 1.0) / 2.0 * size; };
    const auto py = [&](double y) { return y0 + (range - y) / (2.0 * range) * size; };
    std::string svg = "<text x=\"" + number(left + kPanelWidth / 2) + "\" y=\"" + number(top + 15) +
                      "\" text-anchor=\"middle\" font-weight=\"bold\">" + escaped(panel.title) + "</text>\n";
    svg += "<rect x=\"" + number(x0) + "\" y=\"" + number(y0) + "\" width=\"" + number(size) + "\" height=\"" +
           number(size) + "\" fill=\"#fff\" stroke=\"#888\"/>\n";
    for (double v = -1.0; v <= 1.0; v += 0.5) {
        svg += "<line class=\"grid\" x1=\"" + number(px(v)) + "\" y1=\"" + number(y0) + "\" x2=\"" + number(px(v)) +
               "\" y2=\"" + number(y0 + size) + "\"/>\n";
        svg += "<text x=\"" + number(px(v)) + "\" y=\"" + number(y0 + size + 13) + "\" text-anchor=\"middle\">" +
               number(v) + "</text>\n";
    }
    for (double v = -range; v <= range; v += range / 2.0) {
        svg += "<line class=\"grid\" x1=\"" + number(x0) + "\" y1=\"" + number(py(v)) + "\" x2=\"" + number(x0 + size) +
               "\" y2=\"" + number(py(v)) + "\"/>\n";
        svg += "<text x=\"" + number(x0 - 4) + "\" y=\"" + number(py(v) + 4) + "\" text-anchor=\"end\">" + number(v) +
               "</text>\n";
    }
    svg += "<text x=\"" + number(x0 + size / 2) + "\" y=\"" + number(y0 + size + 27) +
           "\" text-anchor=\"middle\" fill=\"#555\">input</text>\n";
    svg += "<text transform=\"translate(" + number(left + 10) + "," + number(y0 + size / 2) +
           ") rotate(-90)\" text-anchor=\"middle\" fill=\"#555\">output</text>\n";
    svg += "<line class=\"unity\" x1=\"" + number(px(-1)) + "\" y1=\"" + number(py(-1)) + "\" x2=\"" + number(px(1)) +
           "\" y2=\"" + number(py(1)) + "\"/>\n";
    // One polyline per run of finite outputs: a NaN or an infinity breaks the line.
    std::vector<Point> run;
    const auto flush = [&] {
        if (!run.empty()) {
            svg += "<polyline class=\"curve\" points=\"";
            for (const Point& p : simplify(run, kTolerance)) svg += number(p.x) + "," + number(p.y) + " ";
            svg.back() = '"';
            svg += "/>\n";
        }
        run.clear();
    };
    for (const Point& p : panel.curve) {
        if (std::isfinite(p.y))
            run.push_back({px(p.x), py(p.y)});
        else
            flush();
    }
    flush();
    return svg;
}

std::vector<Panel> panelsFor(Session& session, const PlotCommand& command) {
    const AEffect& record = session.record();
    std::vector<Panel> panels;
    if (!command.everyProgram) {
        session.apply(command.settings);
        std::string title = record.numPrograms > 0 ? session.plugin().programName() : "";
        if (command.settings.program) title = std::to_string(*command.settings.program) + ": " + title;
        if (!command.settings.parameters.empty()) title += " (changed)";
        session.resume();
        panels.push_back({title.empty() ? "current settings" : title, transferCurve(session)});
        return panels;
    }
    if (record.numPrograms <= 0)
        throw ToolError(ExitCode::kBadOption, "--programs: " + session.path() + " has no programs");
    for (std::int32_t program = 0; program < record.numPrograms; ++program) {
        // Program changes and parameters are set while suspended, as a host does between songs.
        session.suspend();
        PluginSettings settings = command.settings;
        settings.program = program;
        session.apply(settings);
        session.resume();
        panels.push_back({std::to_string(program) + ": " + session.plugin().programName(), transferCurve(session)});
    }
    return panels;
}

void writeFile(const std::string& path, const std::string& text) {
    TempOutput output(path);
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(output.fd(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw ToolError(ExitCode::kAudioFile, "cannot write " + path + ": " + std::strerror(errno));
        done += static_cast<std::size_t>(n);
    }
    output.commit();
}

}  // namespace

std::string drawPanels(const std::vector<Panel>& panels) {
    const std::size_t columns = std::min(panels.size(), kPanelsPerRow);
    const std::size_t rows = (panels.size() + kPanelsPerRow - 1) / kPanelsPerRow;
    const double width = static_cast<double>(std::max<std::size_t>(columns, 1)) * kPanelWidth;
    const double height = static_cast<double>(std::max<std::size_t>(rows, 1)) * kPanelHeight;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) + "\" height=\"" +
                      number(height) + "\" viewBox=\"0 0 " + number(width) + " " + number(height) +
                      "\" font-family=\"sans-serif\" font-size=\"11\">\n"
                      "<style>.grid{stroke:#ddd}.unity{stroke:#bbb;stroke-dasharray:4 3}"
                      ".curve{fill:none;stroke:#c0392b;stroke-width:1.2;stroke-linejoin:round}</style>\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"#f8f8f8\"/>\n";
    for (std::size_t i = 0; i < panels.size(); ++i)
        svg += drawPanel(panels[i], static_cast<double>(i % kPanelsPerRow) * kPanelWidth,
                         static_cast<double>(i / kPanelsPerRow) * kPanelHeight);
    return svg + "</svg>\n";
}

void plot(const PlotCommand& command) {
    Session session(command.plugin, processingSettings(command.sampleRate, kTransferBlock));
    session.requireChannels();
    session.configure();
    writeFile(command.output, drawPanels(panelsFor(session, command)));
}

}  // namespace zandrel::tool
