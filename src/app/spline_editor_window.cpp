#include "app/spline_editor_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/gui_document.h"
#include "edit/spline_gestures.h"

namespace modra {
namespace {

// One colour per component, as the axes of the 3D view are drawn.
const std::array<QColor, 3> kComponentColors = {QColor(220, 40, 40), QColor(30, 160, 30),
                                                QColor(40, 80, 230)};

float Bezier(float p0, float p1, float p2, float p3, float t) {
  const float s = 1 - t;
  return s * s * s * p0 + 3 * s * s * t * p1 + 3 * s * t * t * p2 + t * t * t * p3;
}

// A segment is drawn as a polyline of this many pieces at most, and of
// one piece per few pixels of its control polygon, which is at least as
// long as the curve: a curve squeezed between near keys then costs a few
// points rather than the stroker's work on dozens in one pixel.
constexpr int kMaxSamples = 32;
constexpr double kPixelsPerSample = 3;

int SamplesFor(const std::array<QPointF, 4>& polygon) {
  double length = 0;
  for (int i = 0; i < 3; ++i)
    length += QLineF(polygon[i], polygon[i + 1]).length();
  return std::clamp(static_cast<int>(std::ceil(length / kPixelsPerSample)), 1, kMaxSamples);
}

// Scroll positions per window unit of offset: the fit puts the bars at
// 500 + 50 x offset (and 500 - 50 y offset).
constexpr float kScrollPerUnit = 50.0f;

}  // namespace

SplineCurveView::SplineCurveView(GuiDocument& document, SplineEditor& editor, QWidget* parent)
    : QWidget(parent), document_(document), editor_(editor) {
  setObjectName(QStringLiteral("SplineEditor_Curves"));
  setMinimumSize(400, 300);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

QPointF SplineCurveView::pixelOf(float x, float y) const {
  return {(x + 1) * 0.5 * width(), (1 - y) * 0.5 * height()};
}

QPointF SplineCurveView::windowOf(QPointF pixel) const {
  return {2 * pixel.x() / width() - 1, 1 - 2 * pixel.y() / height()};
}

void SplineCurveView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const SplineView& v = editor_.view;
  const SplineCurve& curve = editor_.curve;
  const auto at = [&](float x, float y) {
    return pixelOf(SplineWindowX(v, x), SplineWindowY(v, y));
  };
  // The pens and brushes are set once per kind of mark, and marks of one
  // kind go to the painter in one call, so a long curve costs few state
  // changes. A curve's segments are stroked one by one, though: the raster
  // engine strokes many short polylines faster than one long one.
  QVector<QLineF> lines;
  QPolygonF polyline;
  // Value points' squares and handles' centres, unselected then selected.
  QVector<QRectF> squares[2];
  QVector<QPointF> handles[2];

  // The zero line and the frames of the keys, faint.
  const double zero = at(0, 0).y();
  lines.append(QLineF(0, zero, width(), zero));
  for (size_t k = 0; k < curve.keys.size(); ++k) {
    const double x = at(curve.entries[SplineEntryIndex(static_cast<int>(k), 0, false)].x, 0).x();
    lines.append(QLineF(x, 0, x, height()));
  }
  painter.setPen(QPen(QColor(200, 200, 200), 1, Qt::DashLine));
  painter.drawLines(lines);

  for (int c = 0; c < 3; ++c) {
    // The points below fill with a brush; a curve must not (a filled path
    // closes on itself and paints the area under its chord).
    painter.setPen(QPen(kComponentColors[c], 1.5));
    painter.setBrush(Qt::NoBrush);
    for (size_t k = 0; k + 1 < curve.keys.size(); ++k) {
      const SplineKey& a = curve.keys[k];
      const SplineKey& b = curve.keys[k + 1];
      const float x0 = curve.entries[SplineEntryIndex(static_cast<int>(k), c, false)].x;
      const float x1 = curve.entries[SplineEntryIndex(static_cast<int>(k + 1), c, false)].x;
      polyline.clear();
      polyline.append(at(x0, a.p[c]));
      if (a.step) {
        polyline.append(at(x1 - (x1 - x0) / kMaxSamples, a.p[c]));
        polyline.append(at(x1, b.p[c]));
      } else {
        const int samples = SamplesFor({polyline.front(), at(x0 + (x1 - x0) / 3, a.c1[c]),
                                        at(x1 - (x1 - x0) / 3, a.c2[c]), at(x1, b.p[c])});
        for (int i = 1; i <= samples; ++i) {
          const float t = static_cast<float>(i) / static_cast<float>(samples);
          polyline.append(at(x0 + (x1 - x0) * t, Bezier(a.p[c], a.c1[c], a.c2[c], b.p[c], t)));
        }
      }
      painter.drawPolyline(polyline);
    }

    // Each value point with its handle, joined by a thin line; selected
    // ones drawn last, on top.
    lines.clear();
    for (int selected : {0, 1}) {
      squares[selected].clear();
      handles[selected].clear();
    }
    constexpr double kValueRadius = 4.0, kHandleRadius = 3.0;
    for (size_t k = 0; k < curve.keys.size(); ++k) {
      const SplineEntry& value = curve.entries[SplineEntryIndex(static_cast<int>(k), c, false)];
      const SplineEntry& handle = curve.entries[SplineEntryIndex(static_cast<int>(k), c, true)];
      const QPointF pv = at(value.x, value.y);
      const QPointF ph = at(handle.x, handle.y);
      lines.append(QLineF(pv, ph));
      squares[value.selected ? 1 : 0].append(
          QRectF(pv.x() - kValueRadius, pv.y() - kValueRadius, 2 * kValueRadius, 2 * kValueRadius));
      handles[handle.selected ? 1 : 0].append(ph);
    }
    painter.setPen(QPen(kComponentColors[c].lighter(140), 1));
    painter.drawLines(lines);
    for (int selected : {0, 1}) {
      painter.setPen(QPen(selected ? Qt::black : kComponentColors[c], 1));
      painter.setBrush(selected ? QBrush(Qt::yellow) : QBrush(kComponentColors[c]));
      painter.drawRects(squares[selected]);
      for (const QPointF& h : handles[selected])
        painter.drawEllipse(h, kHandleRadius, kHandleRadius);
    }
  }

  if (editor_.banding) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(
        QRectF(pixelOf(editor_.bandX0, editor_.bandY0), pixelOf(editor_.bandX1, editor_.bandY1))
            .normalized());
  }
}

void SplineCurveView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  const QPointF w = windowOf(event->position());
  const bool adding = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
  SplinePress(document_.session(), editor_, static_cast<float>(w.x()), static_cast<float>(w.y()),
              adding);
  emit edited();
}

void SplineCurveView::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return;
  const QPointF w = windowOf(event->position());
  SplineMove(document_.session(), editor_, static_cast<float>(w.x()), static_cast<float>(w.y()));
  emit edited();
}

void SplineCurveView::mouseReleaseEvent(QMouseEvent* event) {
  if (!pressed_ || event->button() != Qt::LeftButton) return;
  pressed_ = false;
  const QPointF w = windowOf(event->position());
  SplineRelease(document_.session(), editor_, static_cast<float>(w.x()), static_cast<float>(w.y()));
  emit edited();
}

void SplineCurveView::keyPressEvent(QKeyEvent* event) {
  // A fit in the middle of a drag would move the points away from the
  // pointer that holds them; a chord with Ctrl or Alt is someone else's.
  const bool chord = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
  if (pressed_ || chord) return QWidget::keyPressEvent(event);
  switch (event->key()) {
    case Qt::Key_Home:
      FitSplineEditor(editor_);
      break;
    case Qt::Key_F:
      FitSplineSelection(editor_);
      break;
    default:
      return QWidget::keyPressEvent(event);
  }
  emit edited();
}

SplineEditorWindow::SplineEditorWindow(GuiDocument& document, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      document_(document),
      editor_(OpenSplineEditor(document.doc())) {
  setObjectName(QStringLiteral("SplineEditor"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Animation Spline Editor"));
  createGui();
  bindEvents();
  updateControls();
}

void SplineEditorWindow::createGui() {
  const auto action = [this](const char* name, const char* text) {
    auto* a = new QAction(QString::fromLatin1(text), this);
    a->setObjectName(QStringLiteral("SplineEditor_") + QString::fromLatin1(name));
    return a;
  };
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  QAction* doneAction = action("Done", "&Done");
  file->addAction(doneAction);
  connect(doneAction, &QAction::triggered, this, &SplineEditorWindow::done);

  QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
  QAction* reset = action("ResetView", "Reset View");
  QAction* fit = action("ZoomToFit", "Zoom View to Fit");
  viewMenu->addAction(reset);
  viewMenu->addAction(fit);
  connect(reset, &QAction::triggered, this, [this] {
    ResetSplineEditorView(editor_);
    updateControls();
  });
  connect(fit, &QAction::triggered, this, [this] {
    FitSplineEditor(editor_);
    updateControls();
  });

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* bar = new QHBoxLayout;
  layout->addLayout(bar);

  auto* paramBox = new QGroupBox(QStringLiteral("Modification Parameter"), central);
  auto* paramLayout = new QVBoxLayout(paramBox);
  params_ = new QButtonGroup(this);
  const char* paramNames[] = {"Translation", "Rotation", "Scale", "Color"};
  for (int p = 0; p < 4; ++p) {
    auto* b = new QRadioButton(QString::fromLatin1(paramNames[p]), paramBox);
    b->setObjectName(QStringLiteral("SplineEditor_Param%1").arg(p));
    params_->addButton(b, p);
    paramLayout->addWidget(b);
  }
  paramLayout->addStretch();
  bar->addWidget(paramBox);

  auto* ownerBox = new QGroupBox(QStringLiteral("Edit"), central);
  auto* ownerLayout = new QGridLayout(ownerBox);
  owners_ = new QButtonGroup(this);
  for (int o = 0; o < kSplineOwnerChoiceCount; ++o) {
    const QString text = o == kSplineSelectedObject ? QStringLiteral("Currently Selected Object")
                         : o == kSplineCamera
                             ? QStringLiteral("Camera")
                             : QStringLiteral("Light #%1").arg(o - kSplineLight1 + 1);
    auto* b = new QRadioButton(text, ownerBox);
    b->setObjectName(QStringLiteral("SplineEditor_Owner%1").arg(o));
    owners_->addButton(b, o);
    // The object and the camera in the first column, the lights in two
    // more, so the bar stays low.
    if (o < kSplineLight1)
      ownerLayout->addWidget(b, o, 0);
    else
      ownerLayout->addWidget(b, (o - kSplineLight1) % 4, 1 + (o - kSplineLight1) / 4);
  }
  bar->addWidget(ownerBox);

  auto* zoomBox = new QWidget(central);
  auto* zoomLayout = new QGridLayout(zoomBox);
  const struct {
    const char* name;
    const char* text;
    bool width, in;
  } zooms[] = {{"ZoomWidthIn", "Zoom Width In", true, true},
               {"ZoomWidthOut", "Zoom Width Out", true, false},
               {"ZoomHeightIn", "Zoom Height In", false, true},
               {"ZoomHeightOut", "Zoom Height Out", false, false}};
  int row = 0;
  for (const auto& z : zooms) {
    QAction* a = action(z.name, z.text);
    viewMenu->addAction(a);
    connect(a, &QAction::triggered, this, [this, width = z.width, in = z.in] {
      if (width)
        ZoomSplineWidth(editor_.view, in);
      else
        ZoomSplineHeight(editor_.view, in);
      updateControls();
    });
    auto* button = new QPushButton(QString::fromLatin1(z.text), zoomBox);
    button->setObjectName(QStringLiteral("SplineEditor_") + QString::fromLatin1(z.name) +
                          QStringLiteral("Button"));
    connect(button, &QPushButton::clicked, a, &QAction::trigger);
    zoomLayout->addWidget(button, row / 2, row % 2);
    ++row;
  }
  bar->addWidget(zoomBox);
  bar->addStretch();

  auto* area = new QGridLayout;
  view_ = new SplineCurveView(document_, editor_, central);
  area->addWidget(view_, 0, 0);
  vScroll_ = new QScrollBar(Qt::Vertical, central);
  vScroll_->setObjectName(QStringLiteral("SplineEditor_VScroll"));
  hScroll_ = new QScrollBar(Qt::Horizontal, central);
  hScroll_->setObjectName(QStringLiteral("SplineEditor_HScroll"));
  for (QScrollBar* s : {vScroll_, hScroll_})
    s->setRange(0, 1000);
  area->addWidget(vScroll_, 0, 1);
  area->addWidget(hScroll_, 1, 0);
  layout->addLayout(area, 1);
  setCentralWidget(central);
  // Home and F work on the curves from the start.
  view_->setFocus();

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("SplineEditor_Status"));
  statusBar()->addWidget(status_, 1);
  resize(800, 600);
}

void SplineEditorWindow::bindEvents() {
  connect(params_, &QButtonGroup::idClicked, this,
          [this](int p) { choose(editor_.ownerChoice, p); });
  connect(owners_, &QButtonGroup::idClicked, this,
          [this](int o) { choose(o, editor_.curve.param); });
  connect(hScroll_, &QScrollBar::valueChanged, this, [this](int value) {
    editor_.view.hScroll = value;
    editor_.view.xOffset = static_cast<float>(value - kSplineScrollMiddle) / kScrollPerUnit;
    view_->update();
  });
  connect(vScroll_, &QScrollBar::valueChanged, this, [this](int value) {
    editor_.view.vScroll = value;
    editor_.view.yOffset = static_cast<float>(kSplineScrollMiddle - value) / kScrollPerUnit;
    view_->update();
  });
  connect(view_, &SplineCurveView::edited, this, &SplineEditorWindow::updateControls);
  connect(&document_, &GuiDocument::changed, this, &SplineEditorWindow::documentChanged);
}

void SplineEditorWindow::updateControls() {
  if (QAbstractButton* b = params_->button(editor_.curve.param); b && !b->isChecked()) {
    const QSignalBlocker blocker(params_);
    b->setChecked(true);
  }
  if (QAbstractButton* b = owners_->button(editor_.ownerChoice); b && !b->isChecked()) {
    const QSignalBlocker blocker(owners_);
    b->setChecked(true);
  }
  for (auto [bar, value] :
       {std::pair{hScroll_, editor_.view.hScroll}, std::pair{vScroll_, editor_.view.vScroll}}) {
    const QSignalBlocker blocker(bar);
    if (bar->value() != value) bar->setValue(value);
  }
  const QString status = QString::fromStdString(editor_.status);
  if (status_->text() != status) status_->setText(status);
  view_->update();
}

void SplineEditorWindow::choose(int ownerChoice, int param) {
  SplineChoose(document_.session(), editor_, ownerChoice, param);
  updateControls();
}

void SplineEditorWindow::documentChanged(unsigned what) {
  // Our own drag writes the keys at every move; what it wrote is what the
  // editor holds, and reading it again would end the drag.
  if (editor_.picked != -1 || editor_.banding) return;
  if (what & (kSceneChanged | kHistoryChanged)) {
    ReloadSplineEditor(document_.doc(), editor_);
    updateControls();
  }
}

void SplineEditorWindow::done() {
  close();
}

void SplineEditorWindow::closeEvent(QCloseEvent* event) {
  // The close box ends the editing as "&Done" does: what was dragged stays.
  if (!written_) {
    written_ = true;
    SplineDone(document_.session(), editor_);
  }
  event->accept();
}

}  // namespace modra
