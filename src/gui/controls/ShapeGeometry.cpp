#include "gui/controls/ShapeGeometry.h"

#include <algorithm>
#include <cmath>

namespace pelvano::gui {

const QStringList& ShapeDisplayNames() {
    static const QStringList names = {
        "文字", "三叉输入线", "继电器",       "直线",   "开关:断开", "开关:闭合", "船形开关",
        "箭头", "电感",       "电阻",         "电容",   "二极管",    "三角型",    "平行四边形",
        "菱形", "圆形",       "四边形",       "时钟",   "罗盘",      "手轮",      "多线条",
        "表格", "电磁阀",     "电动阀",       "三极管", "接地",      "正弦波",    "余弦波",
        "方波", "三相电机",   "交流接线方式", "负载",   "电池",      "多行文本",  "高度标签"};
    return names;
}

QStringList CaptionParts(const QString& caption) {
    if (caption.isEmpty()) return {};
    return caption.split(',');
}

std::vector<Edges> MultTextBoxes(const QString& caption, int w, int h) {
    const auto n = static_cast<int>(CaptionParts(caption).size());
    if (n <= 1) return {{1, 1, w + 2, h - 1}};
    const int band = h / n;
    std::vector<Edges> boxes;
    for (int i = 1; i <= n; ++i) boxes.push_back({1, (i - 1) * band - 2, w + 3, i * band + 4});
    return boxes;
}

Edges RectangleLevelBand(const QString& caption, TDrawDirection d, int w, int h, int p) {
    bool ok = false;
    double v = caption.trimmed().toDouble(&ok);
    if (!ok || std::isnan(v)) v = 0;
    v = std::clamp(v, 0.0, 1.0);
    const int f = p == 0 ? 0 : (p - 1) / 2;
    const bool vertical = d == ddUp || d == ddDown;
    const int len = static_cast<int>(std::trunc((vertical ? h - 3 * p : w - 3 * p) * v));
    if (len <= 0) return {};
    switch (d) {
        case ddUp:
            return {p + f + 1, h - p - len - f, w - p - f, h - p - f};
        case ddDown:
            return {p + f + 1, len + p + p / 2 + 1, w - p - f, h - p - f};
        case ddLeft:
            return {p + f + 1, p + f + 1, w - len - p - f, h - p - f};
        case ddRight:
            break;
    }
    return {p + f + 1, p + f + 1, p + f + 1 + len, h - p - f};
}

std::vector<int> MultiLinePositions(int frameWidth, int extent, int penWidth) {
    const int n = std::max(1, frameWidth);
    if (n < 2) return {0};
    std::vector<int> xs;
    for (int k = 0; k < n; ++k) xs.push_back(k * (extent - penWidth) / (n - 1));
    return xs;
}

QPoint TableLineCounts(const QString& caption) {
    // More lines than this would only be a smear of ink.
    constexpr int kMaxLines = 1000;
    auto count = [&](int field) {
        bool ok = false;
        const int v = caption.section(',', field, field).trimmed().toInt(&ok);
        return std::clamp(ok ? v : 1, 2, kMaxLines);
    };
    return {count(0), count(1)};
}

std::vector<int> TableLinePositions(int count, int extent, int penWidth) {
    const int margin = penWidth / 2;
    const int span = extent - 1 - 2 * margin;
    std::vector<int> at;
    for (int i = 0; i < count; ++i) at.push_back(margin + (count > 1 ? i * span / (count - 1) : 0));
    return at;
}

std::vector<ShapeSegment> GroundSegments(int w, int h) {
    const int a = static_cast<int>(std::trunc((h - 1) / 6.0));
    const int b = static_cast<int>(std::trunc((w - 1) / 6.0));
    std::vector<ShapeSegment> s{{{w / 2, 1}, {w / 2, 3 * a}}};
    for (int i = 0; i < 3; ++i)
        s.push_back({{1 + i * b, (3 + i) * a}, {w - 1 - i * b, (3 + i) * a}});
    return s;
}

std::vector<QPoint> ArrowOutline(TDrawDirection d, int w, int h, int p) {
    const bool sideways = d == ddLeft || d == ddRight;
    const int across = sideways ? h : w;
    const int along = sideways ? w : h;
    const int b = std::max(1, static_cast<int>(std::trunc(across / 8.0)));
    const std::vector<QPoint> up = {
        {3 * b, along - p - b}, {3 * b, p + 5 * b}, {b + p, p + 5 * b},    {4 * b, p},
        {7 * b - p, p + 5 * b}, {5 * b, p + 5 * b}, {5 * b, along - p - b}};
    std::vector<QPoint> out;
    for (const QPoint& q : up) {
        switch (d) {
            case ddUp:
                out.push_back(q);
                break;
            case ddDown:
                out.emplace_back(w - q.x(), h - q.y());
                break;
            case ddLeft:
                out.emplace_back(q.y(), q.x());
                break;
            case ddRight:
                out.emplace_back(w - q.y(), q.x());
                break;
        }
    }
    return out;
}

std::array<Edges, 8> HandleRects(int w, int h) {
    auto at = [](int x, int y) { return Edges{x, y, x + 8, y + 8}; };
    return {
        at(0, 0),     at(w / 2 - 4, 0),     at(w - 8, 0),    at(0, h / 2 - 4), at(w - 8, h / 2 - 4),
        at(0, h - 8), at(w / 2 - 4, h - 8), at(w - 8, h - 8)};
}

int HandleAt(int w, int h, int x, int y) {
    const auto rects = HandleRects(w, h);
    for (size_t i = 0; i < rects.size(); ++i)
        if (rects[i].toQRect().contains(x, y)) return static_cast<int>(i) + 1;
    return 0;
}

HandleResize ResizeFromHandle(QRect g, int handle, int dx, int dy) {
    constexpr int kMin = 8;
    int left = g.left();
    int top = g.top();
    int right = g.left() + g.width();
    int bottom = g.top() + g.height();
    const bool west = handle == 1 || handle == 4 || handle == 6;
    const bool east = handle == 3 || handle == 5 || handle == 8;
    const bool north = handle == 1 || handle == 2 || handle == 3;
    const bool south = handle == 6 || handle == 7 || handle == 8;
    bool atMin = false;
    if (west) {
        left += dx;
        if (right - left < kMin) left = right - kMin, atMin = true;
    }
    if (east) {
        right += dx;
        if (right - left < kMin) right = left + kMin, atMin = true;
    }
    if (north) {
        top += dy;
        if (bottom - top < kMin) top = bottom - kMin, atMin = true;
    }
    if (south) {
        bottom += dy;
        if (bottom - top < kMin) bottom = top + kMin, atMin = true;
    }
    return {QRect(left, top, right - left, bottom - top), atMin};
}

}  // namespace pelvano::gui
