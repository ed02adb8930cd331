#include "forms/diary/day_planner.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace tv::forms {

namespace {

constexpr double kMinutesPerDay = 24.0 * 60.0;

QString timeText(double minutes) {
    const int m = static_cast<int>(std::lround(minutes));
    return QStringLiteral("%1:%2").arg(m / 60).arg(m % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

DayPlanner::DayPlanner(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
    setToolTip(tr("Event display area"));
}

QColor DayPlanner::colourOf(const data::DiaryItem& item) {
    switch (item.kind) {
        case data::DiaryKind::Scheduled:
            return QColor(0, 255, 255);  // light cyan
        case data::DiaryKind::Completed:
            return QColor(255, 255, 255);
        case data::DiaryKind::RequestLine:
            return QColor(255, 255, 0);  // yellow
    }
    return QColor(Qt::white);
}

int DayPlanner::slotHeight() const { return fontMetrics().height() + 8; }

int DayPlanner::gutterWidth() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 16;
}

QSize DayPlanner::sizeHint() const {
    return QSize(gutterWidth() + 40 * fontMetrics().averageCharWidth(), slotCount() * slotHeight());
}

QSize DayPlanner::minimumSizeHint() const {
    return QSize(gutterWidth() + 12 * fontMetrics().averageCharWidth(), slotCount() * slotHeight());
}

std::pair<double, double> DayPlanner::span(const data::DiaryItem& item) const {
    const double dayStart = std::floor(day_.serial);
    // To the second: a serial's fraction leaves 01:00 a hair short of 60 minutes.
    const auto minutes = [&](tv::DateTime d) {
        return std::round((d.serial - dayStart) * kMinutesPerDay * 60.0) / 60.0;
    };
    double start = minutes(item.start);
    double end = minutes(item.end);
    start = std::clamp(start, 0.0, kMinutesPerDay);
    end = std::clamp(end, start, kMinutesPerDay);
    // At least one slot high, so that it can be read and pointed at.
    return {start, std::max(end, start + kSlotMinutes)};
}

void DayPlanner::setItems(tv::DateTime day, std::vector<data::DiaryItem> items) {
    day_ = day;
    items_ = std::move(items);
    selected_ = -1;
    firstHour_ = kFirstHour;
    lastHour_ = kLastHour;
    for (const data::DiaryItem& item : items_) {
        const double start = span(item).first;
        firstHour_ = std::min(firstHour_, static_cast<int>(start / 60));
        lastHour_ = std::max(lastHour_, std::min(24, static_cast<int>(start / 60) + 1));
    }
    arrange();
    setMinimumHeight(slotCount() * slotHeight());
    updateGeometry();
    update();
}

void DayPlanner::arrange() {
    const size_t n = items_.size();
    column_.assign(n, 0);
    columns_.assign(n, 1);
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return span(items_[a]).first < span(items_[b]).first; });
    // Walk in start order; a cluster ends where no item of it is still running. Within a
    // cluster each item takes the first column free at its start.
    std::vector<size_t> cluster;
    std::vector<double> columnEnds;
    double clusterEnd = -1;
    const auto close = [&] {
        for (size_t i : cluster) columns_[i] = static_cast<int>(columnEnds.size());
        cluster.clear();
        columnEnds.clear();
    };
    for (size_t i : order) {
        const auto [start, end] = span(items_[i]);
        if (start >= clusterEnd) close();
        size_t c = 0;
        while (c < columnEnds.size() && columnEnds[c] > start) ++c;
        if (c == columnEnds.size()) columnEnds.push_back(end);
        else columnEnds[c] = end;
        column_[i] = static_cast<int>(c);
        cluster.push_back(i);
        clusterEnd = std::max(clusterEnd, end);
    }
    close();
}

QRect DayPlanner::slotRect(int slot) const {
    if (slot < 0 || slot >= slotCount()) return QRect();
    const int h = slotHeight();
    return QRect(gutterWidth(), slot * h, width() - gutterWidth(), h);
}

QRect DayPlanner::itemRect(int index) const {
    if (index < 0 || index >= static_cast<int>(items_.size())) return QRect();
    const auto [start, end] = span(items_[static_cast<size_t>(index)]);
    const double perMinute = static_cast<double>(slotHeight()) / kSlotMinutes;
    const double top = (start - firstHour_ * 60) * perMinute;
    const double bottom = std::min((end - firstHour_ * 60) * perMinute,
                                   static_cast<double>(slotCount() * slotHeight()));
    const int area = width() - gutterWidth() - 4;
    const int count = columns_[static_cast<size_t>(index)];
    const int left = gutterWidth() + 2 + area * column_[static_cast<size_t>(index)] / count;
    const int right = gutterWidth() + 2 + area * (column_[static_cast<size_t>(index)] + 1) / count;
    return QRect(QPoint(left, static_cast<int>(top) + 1),
                 QPoint(right - 2, static_cast<int>(bottom) - 1));
}

int DayPlanner::itemAt(const QPoint& point) const {
    // The last drawn is on top.
    for (int i = static_cast<int>(items_.size()) - 1; i >= 0; --i)
        if (itemRect(i).contains(point)) return i;
    return -1;
}

int DayPlanner::slotAt(const QPoint& point) const {
    if (point.x() < gutterWidth() || point.y() < 0) return -1;
    const int slot = point.y() / slotHeight();
    return slot < slotCount() ? slot : -1;
}

void DayPlanner::selectItem(int index) {
    selected_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    update();
}

void DayPlanner::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette pal = palette();
    p.fillRect(rect(), pal.base());
    const int h = slotHeight();
    const int gutter = gutterWidth();
    p.fillRect(QRect(0, 0, gutter, height()), pal.window());
    for (int slot = 0; slot < slotCount(); ++slot) {
        const QRect r = slotRect(slot);
        const int minutes = slotMinutes(slot);
        // Outside the working hours.
        if (minutes < kFirstHour * 60 || minutes >= kLastHour * 60)
            p.fillRect(r, pal.alternateBase().color().darker(104));
        const bool hour = minutes % 60 == 0;
        p.setPen(QPen(pal.mid().color(), 1, hour ? Qt::SolidLine : Qt::DotLine));
        p.drawLine(hour ? 0 : gutter, r.top(), width(), r.top());
        if (hour) {
            p.setPen(pal.windowText().color());
            p.drawText(QRect(0, r.top(), gutter - 6, h), Qt::AlignRight | Qt::AlignVCenter,
                       timeText(minutes));
        }
    }
    p.setPen(pal.mid().color());
    p.drawLine(gutter, 0, gutter, height());

    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const data::DiaryItem& item = items_[static_cast<size_t>(i)];
        const QRect r = itemRect(i);
        if (r.height() <= 0) continue;
        p.setBrush(colourOf(item));
        const bool selected = i == selected_;
        p.setPen(QPen(selected ? pal.highlight().color() : QColor(Qt::darkGray), selected ? 3 : 1));
        p.drawRect(r);
        const auto [start, end] = span(item);
        Q_UNUSED(end);
        QString text = timeText(start) + u' ' + item.text;
        if (!item.customer.isEmpty()) text += QStringLiteral(" - ") + item.customer;
        // A box too narrow for a word shows no text; its tool tip tells what it is.
        const QRect inner = r.adjusted(4, 2, -3, -2);
        if (inner.width() < 4 * fontMetrics().averageCharWidth()) continue;
        p.setPen(Qt::black);
        p.drawText(inner, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   r.height() < 2 * fontMetrics().height()
                       ? fontMetrics().elidedText(text, Qt::ElideRight, inner.width())
                       : text);
    }
    if (hasFocus() && selected_ < 0) {
        p.setPen(QPen(pal.highlight().color(), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void DayPlanner::mousePressEvent(QMouseEvent* event) {
    selectItem(itemAt(event->position().toPoint()));
    QWidget::mousePressEvent(event);
}

void DayPlanner::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (const int item = itemAt(at); item >= 0) {
        emit itemActivated(item);
    } else if (const int slot = slotAt(at); slot >= 0) {
        emit slotActivated(slotMinutes(slot));
    }
}

void DayPlanner::keyPressEvent(QKeyEvent* event) {
    const int count = static_cast<int>(items_.size());
    switch (event->key()) {
        case Qt::Key_Delete:
            if (selected_ >= 0) emit deleteRequested(selected_);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (selected_ >= 0) emit itemActivated(selected_);
            return;
        case Qt::Key_Down:
            if (count > 0) selectItem(std::min(selected_ + 1, count - 1));
            return;
        case Qt::Key_Up:
            if (count > 0) selectItem(std::max(selected_ - 1, 0));
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

bool DayPlanner::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = itemAt(help->pos());
        if (index < 0) {
            QToolTip::showText(help->globalPos(), toolTip(), this);
            return true;
        }
        const data::DiaryItem& item = items_[static_cast<size_t>(index)];
        const auto [start, end] = span(item);
        QString tip = timeText(start) + QStringLiteral(" - ") + timeText(end) + u'\n' + item.text;
        if (!item.customer.isEmpty()) tip += u'\n' + item.customer;
        if (!item.detail.isEmpty() && item.detail != item.text) tip += u'\n' + item.detail;
        if (!item.user.isEmpty()) tip += u'\n' + item.user;
        QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace tv::forms
