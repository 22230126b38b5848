#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "geos/GeoWriteRuler.h"

namespace qv::app {

// The ruler above the GeoWrite view: a tick for every inch of the page (its hint
// names the inch) and the three markers of the paragraph at the cursor, drawn black
// on white. A marker dragged and released reports where it was dropped; the window
// turns that into indents.
class GeoWriteRulerBar : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kHeight = 28;
    static constexpr int kMarkerWidth = 12;

    explicit GeoWriteRulerBar(QWidget* parent = nullptr);

    void setMarks(std::vector<RulerMark> marks);
    void setMarkers(const RulerMarkers& markers);
    const std::vector<RulerMark>& marks() const { return marks_; }
    const RulerMarkers& markers() const { return markers_; }
    // The left edge of a marker as drawn (while dragging, where it is being dragged).
    int markerX(RulerMarker marker) const;
    // The hint of the inch mark at x, empty away from the marks.
    QString hintAt(int x) const;

    QSize sizeHint() const override;

  signals:
    void markerDropped(qv::RulerMarker marker, int x);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QRect markerRect(RulerMarker marker) const;

    std::vector<RulerMark> marks_;
    RulerMarkers markers_;
    bool dragging_ = false;
    RulerMarker dragged_ = RulerMarker::FirstLine;
    int grab_ = 0;    // mouse x minus the marker's left edge when it was grabbed
    int dragX_ = 0;   // the marker's left edge while it is dragged
    int startX_ = 0;  // where it stood before
};

}  // namespace qv::app
