// quorvane_skin_generator: draws Quorvane's default skin from tools/skin/layout.ini.
//
//   quorvane_skin_generator --layout FILE --out DIR   writes the skin INI files and pictures
//   quorvane_skin_generator --check DIR               checks a skin folder is complete
//
// The layout file says where every control sits; this program turns it into the three skin
// files (Main.ini, Profile.ini, Composite.ini), the whole-window state pictures, the background
// and mask of each window and the small pictures of the lighting panel.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRect>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_file.h"
#include "texts/skin_layout.h"
#include "texts/skin_value.h"

namespace {

namespace fs = std::filesystem;
using qv::ui::SkinWindow;

// ---- Layout description ------------------------------------------------------------------

struct Button {
    QRect rect;
    QString caption;  // "@name" draws an icon
    bool isKey = false;
    // Key legends are key names and stay in the pictures; every other caption is a text of the
    // interface, which the windows draw over the pictures in the language shown.
    bool legend = false;
};

struct WindowLayout {
    SkinWindow window = SkinWindow::Main;
    std::string name;
    QSize size;
    QString title;
    QString subtitle;
    std::string skinFile;
    std::string background;
    std::string mask;
    std::string link;
    std::vector<std::pair<QString, QRect>> panels;
    std::map<std::string, Button> buttons;
    std::map<std::string, QRect> controls;
    std::vector<std::pair<std::string, QRect>> arrows;
    std::vector<std::pair<std::string, std::string>> captions[2];
    std::vector<std::pair<std::string, std::string>> pages;  // set name, current tab
};

struct Theme {
    std::map<std::string, QColor> colours;
    QString font = QStringLiteral("DejaVu Sans");

    [[nodiscard]] QColor operator[](const std::string& name) const {
        const auto found = colours.find(name);
        return found == colours.end() ? QColor(Qt::magenta) : found->second;
    }
};

class Layout {
public:
    explicit Layout(qv::platform::IniFile ini) : ini_(std::move(ini)) {}

    [[nodiscard]] std::optional<std::string> Get(const std::string& section,
                                                 const std::string& key) const {
        const auto value = ini_.Find(section, key);
        if (!value) {
            return std::nullopt;
        }
        return std::string(*value);
    }

    [[nodiscard]] std::string Need(const std::string& section, const std::string& key) const {
        auto value = Get(section, key);
        if (!value) {
            throw std::runtime_error("layout lacks [" + section + "] " + key);
        }
        return *value;
    }

private:
    qv::platform::IniFile ini_;
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) {
        if (!part.empty()) {
            parts.push_back(part);
        }
    }
    return parts;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream stream(text);
    std::string word;
    while (stream >> word) {
        words.push_back(word);
    }
    return words;
}

int ToInt(const std::string& text, const std::string& what) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size()) {
            return value;
        }
    } catch (const std::exception&) {
    }
    throw std::runtime_error("not a whole number in " + what + ": '" + text + "'");
}

double ToUnits(const std::string& text, const std::string& what) {
    try {
        std::size_t used = 0;
        const double value = std::stod(text, &used);
        if (used == text.size() && value >= 0) {
            return value;
        }
    } catch (const std::exception&) {
    }
    throw std::runtime_error("not a key width in " + what + ": '" + text + "'");
}

QRect ToRect(const std::string& text, const std::string& what) {
    const std::vector<std::string> parts = Split(text, ',');
    if (parts.size() != 4) {
        throw std::runtime_error(what + " is not x,y,w,h: '" + text + "'");
    }
    return {ToInt(parts[0], what), ToInt(parts[1], what), ToInt(parts[2], what),
            ToInt(parts[3], what)};
}

QString Legend(std::string text) {
    for (char& c : text) {
        if (c == '_') {
            c = ' ';
        }
    }
    return QString::fromStdString(text);
}

bool IsImageButtonKey(SkinWindow window, std::string_view key) {
    auto contains = [key](const auto& list) {
        for (const std::string_view entry : list) {
            if (entry == key) {
                return true;
            }
        }
        return false;
    };
    switch (window) {
        case SkinWindow::Main:
            return contains(qv::ui::kMainImageButtonKeys);
        case SkinWindow::Profile:
            return contains(qv::ui::kProfileImageButtonKeys);
        case SkinWindow::Composite:
            return contains(qv::ui::kCompositeImageButtonKeys);
    }
    return false;
}

void ReadKeyboard(const Layout& layout, WindowLayout& w) {
    const std::string& s = w.name;
    const int unit = ToInt(layout.Need(s, "unit"), "unit");
    const int gap = ToInt(layout.Need(s, "gap"), "gap");
    const std::vector<std::string> origin = Split(layout.Need(s, "keyboard_origin"), ',');
    if (origin.size() != 2) {
        throw std::runtime_error("keyboard_origin is not x,y");
    }
    const int ox = ToInt(origin[0], "keyboard_origin");
    const int oy = ToInt(origin[1], "keyboard_origin");
    for (int row = 1;; ++row) {
        const std::string section = s + ".Row" + std::to_string(row);
        const auto keys = layout.Get(section, "keys");
        if (!keys) {
            break;
        }
        const double y = ToUnits(layout.Need(section, "y"), section);
        double x = 0;
        for (const std::string& item : Words(*keys)) {
            const std::size_t first = item.find(':');
            const std::size_t last = item.rfind(':');
            if (first == std::string::npos) {
                throw std::runtime_error("key without a legend in " + section + ": " + item);
            }
            const std::string code = item.substr(0, first);
            if (code == "gap") {
                x += ToUnits(item.substr(first + 1), section);
                continue;
            }
            std::string legend = item.substr(first + 1);
            double width = 1;
            double height = 1;
            // A third field is the size; a legend may itself hold ':'.
            if (last != first) {
                const std::string size = item.substr(last + 1);
                const std::size_t times = size.find('x');
                const bool isSize =
                    !size.empty() && (std::isdigit(static_cast<unsigned char>(size.front())) != 0);
                if (isSize) {
                    legend = item.substr(first + 1, last - first - 1);
                    width = ToUnits(size.substr(0, times), section);
                    if (times != std::string::npos) {
                        height = ToUnits(size.substr(times + 1), section);
                    }
                }
            }
            const QRect rect(ox + static_cast<int>(std::lround(x * unit)),
                             oy + static_cast<int>(std::lround(y * unit)),
                             static_cast<int>(std::lround(width * unit)) - gap,
                             static_cast<int>(std::lround(height * unit)) - gap);
            std::string key;
            if (code == "fn") {
                key = "KEY_FN";
            } else {
                key = qv::ui::MainKeySkinKey(static_cast<unsigned>(std::stoul(code, nullptr, 16)));
            }
            w.buttons[key] = Button{rect, Legend(legend), true, true};
            x += width;
        }
    }
    const std::string g = s + ".GKeys";
    const QRect first = ToRect(layout.Need(g, "first") + "," + layout.Need(g, "size"), g);
    const int step = ToInt(layout.Need(g, "step"), g);
    // The first five G keys show their bank's captions (A1.. or B1..), which the program draws
    // as text; the others keep their names.
    constexpr int kCaptionedGKeys = 5;
    for (int n = 1; n <= qv::ui::kSkinGKeyCount; ++n) {
        const QString legend = n <= kCaptionedGKeys ? QString() : QStringLiteral("G%1").arg(n);
        w.buttons[*qv::ui::GKeySkinKey(n)] =
            Button{first.translated(0, (n - 1) * step), legend, true, true};
    }
}

WindowLayout ReadWindow(const Layout& layout, SkinWindow window, const std::string& name) {
    WindowLayout w;
    w.window = window;
    w.name = name;
    const QRect size = ToRect("0,0," + layout.Need(name, "size"), name + " size");
    w.size = size.size();
    w.title = QString::fromStdString(layout.Get(name, "title").value_or(""));
    w.subtitle = QString::fromStdString(layout.Get(name, "subtitle").value_or(""));
    w.skinFile = layout.Need(name, "skin");
    w.background = layout.Need(name, "background");
    w.mask = layout.Need(name, "mask");
    w.link = layout.Get(name, "link").value_or("");
    for (const std::string& panel : Words(layout.Get(name, "panels").value_or(""))) {
        const std::size_t colon = panel.find(':');
        w.panels.emplace_back(QString::fromStdString(panel.substr(0, colon)),
                              ToRect(panel.substr(colon + 1), name + " panel"));
    }
    if (window == SkinWindow::Main) {
        ReadKeyboard(layout, w);
        // The six extra keys have no entries in the key lists; the skin gives them a place
        // under names of their own (KEY_D1..KEY_D6).
        for (int n = 1; n <= 6; ++n) {
            const std::string key = "KEY_D" + std::to_string(n);
            const std::string value = layout.Need(name + ".Buttons", key);
            const std::size_t bar = value.find('|');
            w.buttons[key] = Button{ToRect(value.substr(0, bar), key),
                                    QString::fromStdString(value.substr(bar + 1)), false, true};
        }
    }
    if (window == SkinWindow::Profile) {
        // The window's title, which the window writes in the language shown.
        if (const auto value =
                layout.Get(name + ".Controls", std::string(qv::ui::kProfileTitleKey))) {
            w.controls[std::string(qv::ui::kProfileTitleKey)] = ToRect(*value, "PROGRAM_TITLE");
        }
    }
    if (window == SkinWindow::Composite) {
        // Apply has no place in every skin; ours draws it beside OK.
        if (const auto value = layout.Get(name + ".Buttons", "CONTROL2_APPLY")) {
            const std::size_t bar = value->find('|');
            w.buttons["CONTROL2_APPLY"] =
                Button{ToRect(value->substr(0, bar), "CONTROL2_APPLY"),
                       QString::fromStdString(value->substr(bar + 1)), false};
        }
        // Controls a skin may leave out; ours places them.
        for (const std::string_view key : qv::ui::kCompositeOptionalControlKeys) {
            if (const auto value = layout.Get(name + ".Controls", std::string(key))) {
                w.controls[std::string(key)] = ToRect(*value, std::string(key));
            }
        }
    }
    for (const std::string& key : qv::ui::AllButtonInfoKeys(window)) {
        if (w.buttons.count(key) != 0) {
            continue;
        }
        if (IsImageButtonKey(window, key)) {
            const std::string value = layout.Need(name + ".Buttons", key);
            const std::size_t bar = value.find('|');
            w.buttons[key] =
                Button{ToRect(value.substr(0, bar), key),
                       bar == std::string::npos ? QString()
                                                : QString::fromStdString(value.substr(bar + 1)),
                       false};
            continue;
        }
        auto value = layout.Get(name + ".Controls", key);
        if (!value) {
            value = layout.Get(name + ".Moved", key);
        }
        if (!value) {
            throw std::runtime_error("layout lacks a rectangle for " + name + " " + key);
        }
        w.controls[key] = ToRect(*value, key);
    }
    if (window == SkinWindow::Main) {
        for (const auto side : {qv::ui::ArrowSide::Left, qv::ui::ArrowSide::Right}) {
            for (const bool flip : {false, true}) {
                for (const int position : {0, 1}) {
                    const std::string key = qv::ui::ArrowOriginKey(side, flip, position);
                    w.arrows.emplace_back(key, ToRect(layout.Need(name + ".Arrows", key), key));
                }
            }
        }
        for (int language = 0; language < 2; ++language) {
            const std::string section = name + ".Captions" + std::to_string(language);
            for (const std::string_view key : qv::ui::kSkinCaptionKeys) {
                w.captions[language].emplace_back(key, layout.Need(section, std::string(key)));
            }
        }
    }
    if (window == SkinWindow::Composite) {
        for (const char* page : {"key", "macro", "macro2", "media", "function"}) {
            w.pages.emplace_back(page, layout.Need(name + ".Pages", page));
        }
    }
    return w;
}

Theme ReadTheme(const Layout& layout) {
    Theme theme;
    for (const char* name :
         {"background_top", "background_bottom", "panel", "panel_border", "title", "label",
          "accent", "cap", "cap_top", "cap_border", "cap_text", "hover", "hover_border", "pressed",
          "pressed_text", "checked", "checked_border", "disabled", "disabled_text"}) {
        const QColor colour(QString::fromStdString(layout.Need("Theme", name)));
        if (!colour.isValid()) {
            throw std::runtime_error(std::string("not a colour: Theme ") + name);
        }
        theme.colours[name] = colour;
    }
    theme.font = QString::fromStdString(layout.Get("Theme", "font").value_or("DejaVu Sans"));
    return theme;
}

// ---- Drawing -----------------------------------------------------------------------------

enum class Look { Normal, Hover, Pressed, Disabled, Checked, Current };

QFont Font(const Theme& theme, qreal pixels, bool bold) {
    QFont font(theme.font);
    font.setPixelSize(std::max(1, qRound(pixels)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void DrawIcon(QPainter& p, const QString& name, const QRectF& r, const QColor& colour,
              const Theme& theme) {
    p.save();
    QPen pen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF c = r.center();
    const qreal s = std::min(r.width(), r.height()) * 0.28;
    auto triangle = [&](qreal angle, QPointF at, qreal size) {
        QPolygonF shape;
        for (int i = 0; i < 3; ++i) {
            const qreal a = angle + i * 2.0943951;
            shape << at + QPointF(std::cos(a) * size, std::sin(a) * size);
        }
        p.setBrush(colour);
        p.setPen(Qt::NoPen);
        p.drawPolygon(shape);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
    };
    if (name == "close") {
        p.drawLine(c + QPointF(-s, -s), c + QPointF(s, s));
        p.drawLine(c + QPointF(-s, s), c + QPointF(s, -s));
    } else if (name == "minimize") {
        p.drawLine(c + QPointF(-s, s * 0.6), c + QPointF(s, s * 0.6));
    } else if (name == "menu") {
        for (const qreal dy : {-s * 0.8, 0.0, s * 0.8}) {
            p.drawLine(c + QPointF(-s, dy), c + QPointF(s, dy));
        }
    } else if (name == "help") {
        p.setFont(Font(theme, r.height() * 0.55, true));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
    } else if (name == "left") {
        triangle(3.14159265, c, s * 1.1);
    } else if (name == "right" || name == "arrow") {
        triangle(0.0, c, s * 1.1);
    } else if (name == "up" || name == "top") {
        triangle(-1.5707963, c + QPointF(0, s * 0.25), s * 1.1);
        if (name == "top") {
            p.drawLine(c + QPointF(-s, -s * 1.05), c + QPointF(s, -s * 1.05));
        }
    } else if (name == "down" || name == "bottom") {
        triangle(1.5707963, c - QPointF(0, s * 0.25), s * 1.1);
        if (name == "bottom") {
            p.drawLine(c + QPointF(-s, s * 1.05), c + QPointF(s, s * 1.05));
        }
    } else if (name == "flip") {
        triangle(-1.5707963, c + QPointF(-s * 0.55, -s * 0.3), s * 0.7);
        triangle(1.5707963, c + QPointF(s * 0.55, s * 0.3), s * 0.7);
    } else if (name == "lamp") {
        p.drawEllipse(c, s * 0.7, s * 0.7);
        for (int i = 0; i < 8; ++i) {
            const qreal a = i * 0.78539816;
            const QPointF d(std::cos(a), std::sin(a));
            p.drawLine(c + d * s * 1.1, c + d * s * 1.5);
        }
    } else if (name == "logo") {
        p.setPen(QPen(theme["accent"], 3.0));
        p.drawEllipse(c, s * 1.6, s * 1.6);
        p.drawLine(c + QPointF(s * 0.6, s * 0.6), c + QPointF(s * 1.6, s * 1.6));
    } else if (name == "title") {
        // Drawn by the background; the button itself is a drag area.
    }
    p.restore();
}

void DrawButton(QPainter& p, const Button& b, Look look, const Theme& theme) {
    const QRectF r = QRectF(b.rect).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool icon = b.caption.startsWith('@');
    const qreal radius = b.isKey ? 5.0 : 6.0;
    QColor fillTop = theme["cap_top"];
    QColor fillBottom = theme["cap"];
    QColor border = theme["cap_border"];
    QColor text = theme["cap_text"];
    qreal sink = 0;
    switch (look) {
        case Look::Normal:
            break;
        case Look::Hover:
            fillTop = theme["hover"].lighter(112);
            fillBottom = theme["hover"];
            border = theme["hover_border"];
            text = QColor(Qt::white);
            break;
        case Look::Pressed:
            fillTop = theme["pressed"].darker(110);
            fillBottom = theme["pressed"];
            border = theme["pressed"].lighter(130);
            text = theme["pressed_text"];
            sink = 1;
            break;
        case Look::Checked:
            fillTop = theme["checked"].lighter(115);
            fillBottom = theme["checked"];
            border = theme["checked_border"];
            text = QColor(Qt::white);
            break;
        case Look::Current:
            fillTop = theme["accent"].darker(150);
            fillBottom = theme["accent"].darker(190);
            border = theme["accent"];
            text = QColor(Qt::white);
            break;
        case Look::Disabled:
            fillTop = theme["disabled"];
            fillBottom = theme["disabled"];
            border = theme["disabled"].lighter(130);
            text = theme["disabled_text"];
            break;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    if (icon) {
        // Flat icon buttons: only a soft plate while hovered or pressed.
        if (look != Look::Normal && look != Look::Disabled && b.caption != "@title") {
            p.setPen(QPen(border, 1.0));
            p.setBrush(fillBottom);
            p.drawRoundedRect(r, radius, radius);
        }
        const QColor glyph = look == Look::Normal ? theme["label"] : text;
        DrawIcon(p, b.caption.mid(1), r.translated(0, sink), glyph, theme);
        p.restore();
        return;
    }
    // A cap: a darker skirt below a lighter top face.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(r.translated(0, 1.5), radius, radius);
    p.setPen(QPen(border, 1.0));
    p.setBrush(fillBottom.darker(125));
    p.drawRoundedRect(r, radius, radius);
    const QRectF face = r.adjusted(2.5, 1.5 + sink, -2.5, -3.5 + sink);
    QLinearGradient gradient(face.topLeft(), face.bottomLeft());
    gradient.setColorAt(0, fillTop);
    gradient.setColorAt(1, fillBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawRoundedRect(face, radius - 1.5, radius - 1.5);
    if (look == Look::Checked) {
        p.setBrush(theme["checked_border"]);
        p.drawEllipse(QPointF(face.right() - 4.5, face.top() + 4.5), 2.2, 2.2);
    }
    if (!b.legend) {
        p.restore();
        return;
    }
    p.setPen(text);
    QString caption = b.caption;
    const bool single = caption.size() == 1;
    const qreal biggest = single ? 15.0 : 12.0;
    qreal pixels = std::clamp(face.height() * (single ? 0.5 : 0.45), 9.5, biggest);
    QFont font = Font(theme, pixels, single || !b.isKey);
    QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(caption) > face.width() - 4) {
        font.setStretch(QFont::Condensed);
        metrics = QFontMetricsF(font);
    }
    while (metrics.horizontalAdvance(caption) > face.width() - 4 && pixels > 8) {
        pixels -= 0.5;
        font.setPixelSize(qRound(pixels));
        metrics = QFontMetricsF(font);
    }
    p.setFont(font);
    p.drawText(face, Qt::AlignCenter, caption);
    p.restore();
}

void DrawBase(QPainter& p, const WindowLayout& w, const Theme& theme) {
    const QRectF whole(0, 0, w.size.width(), w.size.height());
    QLinearGradient gradient(whole.topLeft(), whole.bottomLeft());
    gradient.setColorAt(0, theme["background_top"]);
    gradient.setColorAt(1, theme["background_bottom"]);
    p.fillRect(whole, gradient);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A thin accent line along the top edge and a frame that follows the mask's corners.
    p.setPen(QPen(theme["panel_border"], 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(whole.adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    QLinearGradient line(whole.topLeft(), whole.topRight());
    line.setColorAt(0, QColor(0, 0, 0, 0));
    line.setColorAt(0.5, theme["accent"]);
    line.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(40, 1, whole.width() - 80, 2), line);

    // Title.
    const bool main = w.window == SkinWindow::Main;
    const qreal titleX = main ? 70 : 20;
    p.setPen(theme["title"]);
    p.setFont(Font(theme, main ? 20 : 16, true));
    const QRectF titleRect(titleX, main ? 10 : 14, 400, main ? 24 : 30);
    // The main window's title is the product's name; the dialogs write their own titles in
    // the language shown.
    if (main && !w.title.isEmpty()) {
        p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, w.title);
    }
    if (!w.subtitle.isEmpty()) {
        p.setPen(theme["label"]);
        p.setFont(Font(theme, 11, false));
        p.drawText(QRectF(titleX, 32, 400, 16), Qt::AlignLeft | Qt::AlignVCenter, w.subtitle);
    }

    // Panels.
    for (const auto& [name, rect] : w.panels) {
        p.setPen(QPen(theme["panel_border"], 1.0));
        p.setBrush(theme["panel"]);
        p.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    }
}

// What a picture of the window shows for each button.
using LookOf = std::function<Look(const std::string& key, const Button& button)>;

QImage RenderWindow(const WindowLayout& w, const Theme& theme, const LookOf& lookOf, bool buttons) {
    QImage image(w.size, QImage::Format_RGB32);
    QPainter p(&image);
    DrawBase(p, w, theme);
    if (buttons) {
        for (const auto& [key, button] : w.buttons) {
            DrawButton(p, button, lookOf(key, button), theme);
        }
    }
    p.end();
    return image;
}

QImage RenderMask(const WindowLayout& w) {
    QImage mask(w.size, QImage::Format_RGB32);
    mask.fill(Qt::white);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRect(QPoint(0, 0), w.size), 10, 10);
    p.end();
    return mask;
}

void Save(const QImage& image, const fs::path& folder, const std::string& name) {
    const QString path = QString::fromStdString((folder / name).string());
    if (!image.save(path, nullptr, 95)) {
        throw std::runtime_error("cannot write " + (folder / name).string());
    }
}

std::string RectText(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + "," + std::to_string(r.width()) +
           "," + std::to_string(r.height());
}

void WriteSkinIni(const WindowLayout& w, const fs::path& folder) {
    std::ostringstream out;
    out << "; Quorvane default skin, generated from tools/skin/layout.ini: edit that file.\n";
    out << "[SCREEN]\nMain=" << w.background << "\nMask=" << w.mask << "\n";
    if (!w.link.empty()) {
        out << "Link=" << w.link << "\n";
    }
    out << "\n[BUTTONINFO]\n";
    for (const std::string& key : qv::ui::AllButtonInfoKeys(w.window)) {
        const auto button = w.buttons.find(key);
        out << key << "="
            << RectText(button != w.buttons.end() ? button->second.rect : w.controls.at(key))
            << "\n";
    }
    // Buttons and controls of the skin's own beyond the key lists (the extra keys D1..D6, the
    // profile manager's title, optional controls).
    const auto listed = qv::ui::AllButtonInfoKeys(w.window);
    for (const auto& [key, button] : w.buttons) {
        if (std::find(listed.begin(), listed.end(), key) == listed.end()) {
            out << key << "=" << RectText(button.rect) << "\n";
        }
    }
    for (const auto& [key, rect] : w.controls) {
        if (std::find(listed.begin(), listed.end(), key) == listed.end()) {
            out << key << "=" << RectText(rect) << "\n";
        }
    }
    if (!w.arrows.empty()) {
        out << "\n[BUTTONINFO2]\n";
        for (const auto& [key, rect] : w.arrows) {
            out << key << "=" << RectText(rect) << "\n";
        }
    }
    const std::string_view sections[2] = {qv::ui::kSkinCaptionsChineseSection,
                                          qv::ui::kSkinCaptionsEnglishSection};
    for (int language = 0; language < 2; ++language) {
        if (w.captions[language].empty()) {
            continue;
        }
        out << "\n[" << sections[language] << "]\n";
        for (const auto& [key, text] : w.captions[language]) {
            out << key << "=" << text << "\n";
        }
    }
    const fs::path path = folder / w.skinFile;
    const fs::path temporary = folder / (w.skinFile + ".tmp");
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << out.str();
        if (!file.flush()) {
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    fs::rename(temporary, path);
}

bool IsMainKey(const std::string& key) {
    return key.rfind("KEY_", 0) == 0 || key.rfind("FUNC_G", 0) == 0;
}

void WriteMain(const WindowLayout& w, const Theme& theme, const fs::path& out) {
    const auto all = [](Look look) {
        return [look](const std::string&, const Button&) { return look; };
    };
    Save(RenderWindow(w, theme, all(Look::Normal), false), out, w.background);
    Save(RenderMask(w), out, w.mask);
    const qv::ui::StatePictureSet& set = qv::ui::kMainStatePictures;
    Save(RenderWindow(w, theme, all(Look::Normal), true), out, std::string(set.normal));
    Save(RenderWindow(w, theme, all(Look::Hover), true), out, std::string(set.hover));
    Save(RenderWindow(w, theme, all(Look::Pressed), true), out, std::string(set.pressed));
    // The keys take the disabled picture as their checked (remapped) look.
    Save(RenderWindow(
             w, theme,
             [](const std::string& key, const Button&) {
                 return IsMainKey(key) ? Look::Checked : Look::Disabled;
             },
             true),
         out, std::string(set.disabled));
    Save(RenderWindow(w, theme, all(Look::Normal), true), out, "main_color0.jpg");
    Save(RenderWindow(
             w, theme,
             [](const std::string& key, const Button&) {
                 return IsMainKey(key) ? Look::Current : Look::Normal;
             },
             true),
         out, "main_color1.jpg");

    // Arrow.jpg: one cell per BUTTONINFO2 origin, an arrow pointing down (flip off) or up.
    int width = 0;
    int height = 0;
    for (const auto& [key, rect] : w.arrows) {
        width = std::max(width, rect.right() + 1);
        height = std::max(height, rect.bottom() + 1);
    }
    QImage arrows(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    arrows.fill(theme["panel"]);
    QPainter p(&arrows);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const auto& [key, rect] : w.arrows) {
        const bool up = key.rfind("UP_", 0) == 0;
        const bool second = key.back() == '2';
        DrawIcon(p, up ? QStringLiteral("up") : QStringLiteral("down"), QRectF(rect),
                 second ? theme["accent"] : theme["label"], theme);
    }
    p.end();
    Save(arrows, out, std::string(qv::ui::kArrowPicture));
}

void WriteProfile(const WindowLayout& w, const Theme& theme, const fs::path& out) {
    const auto all = [](Look look) {
        return [look](const std::string&, const Button&) { return look; };
    };
    Save(RenderWindow(w, theme, all(Look::Normal), false), out, w.background);
    Save(RenderWindow(w, theme, all(Look::Normal), true), out,
         std::string(qv::ui::kProfileStatePictures.normal));
    Save(RenderWindow(w, theme, all(Look::Hover), true), out,
         std::string(qv::ui::kProfileStatePictures.hover));
    Save(RenderWindow(w, theme, all(Look::Pressed), true), out,
         std::string(qv::ui::kProfileStatePictures.pressed));
    Save(RenderMask(w), out, w.mask);
}

void WriteComposite(const WindowLayout& w, const Theme& theme, const fs::path& out) {
    Save(RenderWindow(
             w, theme, [](const std::string&, const Button&) { return Look::Normal; }, false),
         out, w.background);
    Save(RenderMask(w), out, w.mask);
    const std::pair<const char*, Look> states[] = {{"_normal.jpg", Look::Normal},
                                                   {"_over.jpg", Look::Hover},
                                                   {"_down.jpg", Look::Pressed},
                                                   {"_disable.jpg", Look::Disabled}};
    for (const auto& [page, current] : w.pages) {
        for (const auto& [suffix, look] : states) {
            const std::string name = page + suffix;
            bool wanted = false;
            for (const std::string_view file : qv::ui::StatePictureFiles(SkinWindow::Composite)) {
                wanted = wanted || file == name;
            }
            if (!wanted) {
                continue;
            }
            const std::string tab = current;
            const Look state = look;
            Save(RenderWindow(
                     w, theme,
                     [&tab, state](const std::string& key, const Button&) {
                         return key == tab && state == Look::Normal ? Look::Current : state;
                     },
                     true),
                 out, name);
        }
    }
}

// The small pictures of the lighting panel, each the size of the control that shows it.
void WriteLightingPictures(const WindowLayout& w, const Theme& theme, const fs::path& out) {
    auto canvas = [&](const std::string& control) {
        QImage image(w.controls.at(control).size(), QImage::Format_RGB32);
        image.fill(theme["panel"]);
        return image;
    };
    auto begin = [](QImage& image) {
        auto painter = std::make_unique<QPainter>(&image);
        painter->setRenderHint(QPainter::Antialiasing, true);
        return painter;
    };
    // Sliders: 0..4 brightness, 5..9 speed position (left = fast).
    for (int n = 0; n < 10; ++n) {
        QImage image = canvas("CONTROL_LightSlider");
        auto p = begin(image);
        const QRectF r(image.rect());
        const qreal left = 10;
        const qreal right = r.width() - 10;
        const qreal y = r.height() / 2;
        p->setPen(QPen(theme["cap_border"], 4, Qt::SolidLine, Qt::RoundCap));
        p->drawLine(QPointF(left, y), QPointF(right, y));
        const qreal knob = left + (right - left) * (n % 5) / 4.0;
        p->setPen(QPen(theme["accent"], 4, Qt::SolidLine, Qt::RoundCap));
        p->drawLine(QPointF(left, y), QPointF(knob, y));
        for (int tick = 0; tick < 5; ++tick) {
            p->setPen(QPen(theme["label"], 1));
            const qreal tx = left + (right - left) * tick / 4.0;
            p->drawLine(QPointF(tx, y + 6), QPointF(tx, y + 9));
        }
        p->setPen(QPen(theme["accent"].lighter(130), 1.5));
        p->setBrush(theme["cap_top"]);
        p->drawEllipse(QPointF(knob, y), 7.5, 7.5);
        p->end();
        Save(image, out, std::to_string(n) + ".bmp");
    }
    // Progress frames.
    for (int n = 1; n <= 10; ++n) {
        QImage image = canvas("CONTROL_JDTStatic");
        auto p = begin(image);
        const QRectF r = QRectF(image.rect()).adjusted(1, 3, -1, -3);
        p->setPen(Qt::NoPen);
        p->setBrush(theme["cap"]);
        p->drawRoundedRect(r, 4, 4);
        p->setBrush(theme["accent"]);
        const qreal segment = r.width() / 10.0;
        for (int i = 0; i < 3; ++i) {
            const int at = (n - 1 + i) % 10;
            QColor c = theme["accent"];
            c.setAlpha(90 + 80 * i);
            p->setBrush(c);
            p->drawRoundedRect(
                QRectF(r.left() + at * segment + 1, r.top(), segment - 2, r.height()), 3, 3);
        }
        p->end();
        Save(image, out, "jdt" + std::to_string(n) + ".bmp");
    }
    // Two-state toggles and pictures: name, control, icon, on.
    struct Toggle {
        const char* name;
        const char* control;
        const char* icon;
        bool on;
    };
    const Toggle toggles[] = {
        {"dengup", "CONTROL_DengStaPic", "lamp", false},
        {"dengdown", "CONTROL_DengStaPic", "lamp", true},
        {"sjsup", "CONTROL_HXsjsStaPic", "", false},
        {"sjsdown", "CONTROL_HXsjsStaPic", "", true},
        {"user1up", "CONTROL_USERgjStaPic1", "menu", false},
        {"user1down", "CONTROL_USERgjStaPic1", "menu", true},
        {"user2up", "CONTROL_USERgjStaPic2", "close", false},
        {"user2down", "CONTROL_USERgjStaPic2", "close", true},
        {"leftup", "CONTROL_BLFXLStaPic", "left", false},
        {"leftdown", "CONTROL_BLFXLStaPic", "left", true},
        {"rightup", "CONTROL_BLFXRStaPic", "right", false},
        {"rightdown", "CONTROL_BLFXRStaPic", "right", true},
        {"upup", "CONTROL_BLFXLStaPic", "up", false},
        {"updown", "CONTROL_BLFXLStaPic", "up", true},
        {"downup", "CONTROL_BLFXRStaPic", "down", false},
        {"downdown", "CONTROL_BLFXRStaPic", "down", true},
        {"kuosan", "CONTROL_BLFXLStaPic", "flip", false},
        {"kuosandown", "CONTROL_BLFXLStaPic", "flip", true},
        {"julong", "CONTROL_BLFXRStaPic", "bottom", false},
        {"julongdown", "CONTROL_BLFXRStaPic", "bottom", true},
    };
    for (const Toggle& toggle : toggles) {
        QImage image = canvas(toggle.control);
        auto p = begin(image);
        const QRectF r = QRectF(image.rect()).adjusted(1.5, 1.5, -1.5, -1.5);
        p->setPen(QPen(toggle.on ? theme["accent"] : theme["cap_border"], 1));
        p->setBrush(toggle.on ? theme["accent"].darker(200) : theme["cap"]);
        p->drawRoundedRect(r, 5, 5);
        if (std::string_view(toggle.icon).empty()) {
            // A switch: the knob sits right while on.
            const qreal radius = r.height() / 2 - 3;
            const qreal x = toggle.on ? r.right() - radius - 3 : r.left() + radius + 3;
            p->setPen(Qt::NoPen);
            p->setBrush(toggle.on ? theme["accent"] : theme["label"]);
            p->drawEllipse(QPointF(x, r.center().y()), radius, radius);
        } else {
            DrawIcon(*p, QString::fromLatin1(toggle.icon), r,
                     toggle.on ? QColor(Qt::white) : theme["label"], theme);
        }
        p->end();
        Save(image, out, std::string(toggle.name) + ".bmp");
    }
    // Preset colours, plain and selected.
    const std::pair<const char*, QColor> presets[] = {{"hong", QColor(230, 50, 60)},
                                                      {"huang", QColor(240, 200, 40)},
                                                      {"lv", QColor(50, 200, 90)},
                                                      {"lan", QColor(50, 120, 240)}};
    for (const auto& [name, colour] : presets) {
        for (const bool selected : {false, true}) {
            QImage image = canvas("CONTROL_HONGPIC");
            auto p = begin(image);
            const QRectF r = QRectF(image.rect()).adjusted(2.5, 2.5, -2.5, -2.5);
            p->setPen(selected ? QPen(QColor(Qt::white), 2) : QPen(colour.darker(140), 1));
            p->setBrush(colour);
            p->drawRoundedRect(r, 4, 4);
            p->end();
            Save(image, out, std::string(name) + (selected ? "ok" : "") + ".bmp");
        }
    }
}

// The tray's three icons, by the numbers the window asks for them with: 128 no keyboard (also
// the application icon), 141 keyboard present, 142 a macro is playing.
void WriteTrayIcons(const Theme& theme, const fs::path& out) {
    constexpr int kSize = 64;
    const QRectF area(4, 4, kSize - 8, kSize - 8);
    for (const auto& [number, look] : {std::pair{128, "off"}, {141, "on"}, {142, "play"}}) {
        QImage image(kSize, kSize, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const std::string_view which = look;
        const QColor ring = which == "off" ? theme["label"] : theme["accent"];
        p.setBrush(theme["panel"]);
        p.setPen(QPen(ring, 5.0));
        p.drawEllipse(area.adjusted(2, 2, -2, -2));
        if (which == "play") {
            QPolygonF triangle;
            triangle << QPointF(26, 20) << QPointF(46, 32) << QPointF(26, 44);
            p.setPen(Qt::NoPen);
            p.setBrush(ring);
            p.drawPolygon(triangle);
        } else {
            p.setPen(QPen(ring, 5.0, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(38, 38), QPointF(50, 50));
        }
        p.end();
        Save(image, out, "tray" + std::to_string(number) + ".png");
    }
}

int Generate(const fs::path& layoutPath, const fs::path& out) {
    qv::platform::IniLoadResult loaded = qv::platform::IniFile::Load(layoutPath);
    if (loaded.status != qv::platform::IniLoadStatus::Ok) {
        throw std::runtime_error("cannot read " + layoutPath.string());
    }
    const Layout layout(std::move(loaded.file));
    const Theme theme = ReadTheme(layout);
    fs::create_directories(out);
    const WindowLayout main = ReadWindow(layout, SkinWindow::Main, "Main");
    const WindowLayout profile = ReadWindow(layout, SkinWindow::Profile, "Profile");
    const WindowLayout composite = ReadWindow(layout, SkinWindow::Composite, "Composite");
    WriteMain(main, theme, out);
    WriteLightingPictures(main, theme, out);
    WriteProfile(profile, theme, out);
    WriteComposite(composite, theme, out);
    WriteTrayIcons(theme, out);
    for (const WindowLayout* w : {&main, &profile, &composite}) {
        WriteSkinIni(*w, out);
    }
    return 0;
}

// ---- Check -------------------------------------------------------------------------------

int Check(const fs::path& folder) {
    std::vector<std::string> faults;
    const std::pair<SkinWindow, std::string_view> windows[] = {
        {SkinWindow::Main, qv::ui::kMainSkinFileName},
        {SkinWindow::Profile, qv::ui::kProfileSkinFileName},
        {SkinWindow::Composite, qv::ui::kCompositeSkinFileName}};
    for (const auto& [window, fileName] : windows) {
        const std::string file(fileName);
        if (!fs::exists(folder / fileName)) {
            faults.push_back(file + ": missing");
            continue;
        }
        const qv::ui::SkinFile skin = qv::ui::SkinFile::Load(folder / fileName);
        for (const std::string& key : qv::ui::MissingButtonInfoKeys(skin, window)) {
            faults.push_back(file + ": no BUTTONINFO " + key);
        }
        const QImage background(QString::fromStdString(skin.BackgroundPicture(folder).string()));
        const QImage mask(QString::fromStdString(skin.MaskPicture(folder).string()));
        if (background.isNull() || mask.isNull()) {
            faults.push_back(file + ": SCREEN background or mask does not load");
            continue;
        }
        if (mask.size() != background.size()) {
            faults.push_back(file + ": mask and background differ in size");
        }
        for (const std::string_view picture : qv::ui::StatePictureFiles(window)) {
            const QImage image(QString::fromStdString((folder / picture).string()));
            // Arrow.jpg is a strip of arrows, every other state picture shows the whole window.
            if (image.isNull()) {
                faults.push_back(file + ": " + std::string(picture) + " does not load");
            } else if (picture != qv::ui::kArrowPicture && image.size() != background.size()) {
                faults.push_back(file + ": " + std::string(picture) + " is not window-sized");
            }
        }
        const QRect client(QPoint(0, 0), background.size());
        for (const std::string& key : qv::ui::AllButtonInfoKeys(window)) {
            const qv::ui::SkinRect r = skin.Rect(qv::ui::kSkinButtonInfoSection, key);
            const QRect rect(r.x, r.y, r.width, r.height);
            if (!client.contains(rect)) {
                faults.push_back(file + ": " + key + " lies outside the window");
            } else if (IsImageButtonKey(window, key) || key.rfind("KEY_", 0) == 0 ||
                       key.rfind("FUNC_G", 0) == 0) {
                if (qv::ui::IsLeftOut(r)) {
                    faults.push_back(file + ": image button " + key + " is left out");
                }
            }
        }
    }
    for (const char* picture :
         {"tray128.png", "tray141.png", "tray142.png", "0.bmp", "9.bmp", "jdt1.bmp", "jdt10.bmp",
          "dengup.bmp", "dengdown.bmp", "hongok.bmp", "julongdown.bmp"}) {
        if (QImage(QString::fromStdString((folder / picture).string())).isNull()) {
            faults.push_back(std::string(picture) + " does not load");
        }
    }
    for (const std::string& fault : faults) {
        std::fprintf(stderr, "skin check: %s\n", fault.c_str());
    }
    return faults.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    try {
        const qsizetype check = args.indexOf(QStringLiteral("--check"));
        if (check > 0 && check + 1 < args.size()) {
            return Check(fs::path(args[check + 1].toStdString()));
        }
        const qsizetype layout = args.indexOf(QStringLiteral("--layout"));
        const qsizetype out = args.indexOf(QStringLiteral("--out"));
        if (layout > 0 && out > 0 && layout + 1 < args.size() && out + 1 < args.size()) {
            return Generate(fs::path(args[layout + 1].toStdString()),
                            fs::path(args[out + 1].toStdString()));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvane_skin_generator: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: quorvane_skin_generator --layout FILE --out DIR\n"
                 "       quorvane_skin_generator --check DIR\n");
    return 2;
}
