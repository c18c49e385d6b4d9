#include "app/render_options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <limits>

#include "app/user_prompts.h"
#include "document/file_filters.h"
#include "images/texture_table.h"

namespace modra {

namespace {

constexpr const char* kFormatTexts[] = {"MPEG Movie",
                                        "Individual JPEG Frames",
                                        "Individual BMP Frames",
                                        "Individual PPM Frames",
                                        "Animated GIF",
                                        "MP4 Movie",
                                        "Individual PNG Frames"};
constexpr const char* kOversamplingTexts[] = {"1x (None)", "2x", "3x", "4x"};
constexpr const char* kFrameTexts[] = {"Current", "All", "From:"};

QString Name(const char* name) {
  return QStringLiteral("RenderOptions_") + QLatin1String(name);
}

QString Filter(const char* filter) {
  return QString::fromStdString(QtFilterString(filter));
}

QLineEdit* NumberEdit(const char* name, QValidator* validator, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(Name(name));
  edit->setValidator(validator);
  edit->setMaximumWidth(80);
  return edit;
}

// Whole numbers of up to six digits: larger ones are refused by the core's
// limits anyway, and int conversion stays exact.
QValidator* DigitsValidator(QObject* parent) {
  return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,6}")), parent);
}

// Empty or unreadable text stands for a value the core refuses.
int IntOf(const QLineEdit* edit, int refused) {
  bool ok = false;
  const int value = edit->text().toInt(&ok);
  return ok ? value : refused;
}

QString GammaText(float gamma) {
  return QString::number(static_cast<double>(gamma), 'g', 6);
}

void SetText(QLineEdit* edit, const QString& text) {
  const QSignalBlocker blocker(edit);
  if (edit->text() != text) edit->setText(text);
}

void Check(QButtonGroup* group, int id) {
  if (QAbstractButton* b = group->button(id)) {
    const QSignalBlocker blocker(b);
    b->setChecked(true);
  }
}

}  // namespace

RenderOptionsDialog::RenderOptionsDialog(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setObjectName(QStringLiteral("RenderOptionsDialog"));
  setWindowTitle(QStringLiteral("Render Options"));
  createGui();
  bindEvents();
  setValues(RenderSettings{});
}

void RenderOptionsDialog::createGui() {
  auto* layout = new QVBoxLayout(this);

  auto* output = new QHBoxLayout;
  output->addWidget(new QLabel(QStringLiteral("Output Filename"), this));
  outputName_ = new QLineEdit(this);
  outputName_->setObjectName(Name("OutputName"));
  output->addWidget(outputName_, 1);
  browseOutput_ = new QPushButton(QStringLiteral("Browse"), this);
  browseOutput_->setObjectName(Name("BrowseOutput"));
  output->addWidget(browseOutput_);
  layout->addLayout(output);

  auto* columns = new QGridLayout;
  layout->addLayout(columns);

  auto* produce = new QGroupBox(QStringLiteral("Produce"), this);
  auto* produceLayout = new QVBoxLayout(produce);
  format_ = new QButtonGroup(this);
  for (int f = kRenderMpeg; f <= kRenderPng; ++f) {
    auto* radio = new QRadioButton(QString::fromLatin1(kFormatTexts[f]), produce);
    radio->setObjectName(Name("Format") + QString::number(f));
    format_->addButton(radio, f);
    produceLayout->addWidget(radio);
  }
  columns->addWidget(produce, 0, 0);

  auto* size = new QGroupBox(QStringLiteral("Output Size"), this);
  auto* sizeLayout = new QGridLayout(size);
  width_ = NumberEdit("Width", DigitsValidator(this), size);
  height_ = NumberEdit("Height", DigitsValidator(this), size);
  sizeLayout->addWidget(new QLabel(QStringLiteral("Width:"), size), 0, 0);
  sizeLayout->addWidget(width_, 0, 1);
  sizeLayout->addWidget(new QLabel(QStringLiteral("Height:"), size), 1, 0);
  sizeLayout->addWidget(height_, 1, 1);
  columns->addWidget(size, 1, 0);

  auto* over = new QGroupBox(QStringLiteral("Oversampling"), this);
  auto* overLayout = new QHBoxLayout(over);
  oversampling_ = new QButtonGroup(this);
  for (int factor = 1; factor <= 4; ++factor) {
    auto* radio = new QRadioButton(QString::fromLatin1(kOversamplingTexts[factor - 1]), over);
    radio->setObjectName(Name("Oversampling") + QString::number(factor));
    oversampling_->addButton(radio, factor);
    overLayout->addWidget(radio);
  }
  columns->addWidget(over, 2, 0);

  auto* blur = new QGroupBox(QStringLiteral("Motion Blur"), this);
  auto* blurLayout = new QGridLayout(blur);
  blurOff_ = new QRadioButton(QStringLiteral("Off"), blur);
  blurOff_->setObjectName(Name("BlurOff"));
  blurOn_ = new QRadioButton(QStringLiteral("On"), blur);
  blurOn_->setObjectName(Name("BlurOn"));
  auto* blurGroup = new QButtonGroup(this);
  blurGroup->addButton(blurOff_);
  blurGroup->addButton(blurOn_);
  samples_ = NumberEdit("Samples", DigitsValidator(this), blur);
  range_ = new QSlider(Qt::Horizontal, blur);
  range_->setObjectName(Name("Range"));
  range_->setRange(0, 1000);
  rangeLabel_ = new QLabel(blur);
  rangeLabel_->setObjectName(Name("RangeLabel"));
  rangeLabel_->setMinimumWidth(40);
  blurLayout->addWidget(blurOff_, 0, 0);
  blurLayout->addWidget(blurOn_, 0, 1);
  blurLayout->addWidget(new QLabel(QStringLiteral("Samples"), blur), 0, 2);
  blurLayout->addWidget(samples_, 0, 3);
  blurLayout->addWidget(new QLabel(QStringLiteral("Range"), blur), 1, 0);
  blurLayout->addWidget(range_, 1, 1, 1, 2);
  blurLayout->addWidget(rangeLabel_, 1, 3);
  columns->addWidget(blur, 0, 1);

  auto* frames = new QGroupBox(QStringLiteral("Render Frames"), this);
  auto* framesLayout = new QHBoxLayout(frames);
  frames_ = new QButtonGroup(this);
  for (int mode = kRenderCurrentFrame; mode <= kRenderFromTo; ++mode) {
    auto* radio = new QRadioButton(QString::fromLatin1(kFrameTexts[mode]), frames);
    radio->setObjectName(Name("Frames") + QString::number(mode));
    frames_->addButton(radio, mode);
    framesLayout->addWidget(radio);
  }
  from_ = NumberEdit("From", DigitsValidator(this), frames);
  to_ = NumberEdit("To", DigitsValidator(this), frames);
  framesLayout->addWidget(from_);
  framesLayout->addWidget(new QLabel(QStringLiteral("To:"), frames));
  framesLayout->addWidget(to_);
  columns->addWidget(frames, 1, 1);

  auto* gamma = new QGroupBox(QStringLiteral("Gamma Correct"), this);
  auto* gammaLayout = new QHBoxLayout(gamma);
  gammaOff_ = new QRadioButton(QStringLiteral("Off"), gamma);
  gammaOff_->setObjectName(Name("GammaOff"));
  gammaOn_ = new QRadioButton(QStringLiteral("On"), gamma);
  gammaOn_->setObjectName(Name("GammaOn"));
  auto* gammaGroup = new QButtonGroup(this);
  gammaGroup->addButton(gammaOff_);
  gammaGroup->addButton(gammaOn_);
  gamma_ = NumberEdit("Gamma",
                      new QRegularExpressionValidator(
                          QRegularExpression(QStringLiteral("-?\\d{0,4}(\\.\\d{0,6})?")), this),
                      gamma);
  gammaLayout->addWidget(gammaOff_);
  gammaLayout->addWidget(gammaOn_);
  gammaLayout->addWidget(gamma_);
  columns->addWidget(gamma, 2, 1);

  composite_ = new QCheckBox(QStringLiteral("Enable Composite"), this);
  composite_->setObjectName(Name("Composite"));
  layout->addWidget(composite_);
  auto* movie = new QGroupBox(QStringLiteral("Composite with MPEG Movie"), this);
  auto* movieLayout = new QHBoxLayout(movie);
  compositeName_ = new QLineEdit(movie);
  compositeName_->setObjectName(Name("CompositeName"));
  compositeName_->setReadOnly(true);
  browseComposite_ = new QPushButton(QStringLiteral("Browse"), movie);
  browseComposite_->setObjectName(Name("BrowseComposite"));
  movieLayout->addWidget(new QLabel(QStringLiteral("Filename"), movie));
  movieLayout->addWidget(compositeName_, 1);
  movieLayout->addWidget(browseComposite_);
  layout->addWidget(movie);

  fitSquare_ = new QCheckBox(QStringLiteral("Fit largest square"), this);
  fitSquare_->setObjectName(Name("FitSquare"));
  layout->addWidget(fitSquare_);

  problem_ = new QLabel(this);
  problem_->setObjectName(Name("Problem"));
  problem_->setWordWrap(true);
  layout->addWidget(problem_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setObjectName(Name("Ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(Name("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void RenderOptionsDialog::bindEvents() {
  connect(format_, &QButtonGroup::idClicked, this,
          [this](int f) { change([f](RenderSettings& s) { SetRenderFormat(s, f); }); });
  connect(oversampling_, &QButtonGroup::idClicked, this,
          [this](int factor) { change([factor](RenderSettings& s) { s.oversampling = factor; }); });
  connect(frames_, &QButtonGroup::idClicked, this,
          [this](int mode) { change([mode](RenderSettings& s) { s.frameRange = mode; }); });
  connect(blurOff_, &QRadioButton::clicked, this,
          [this] { change([](RenderSettings& s) { SetMotionBlur(s, false); }); });
  connect(blurOn_, &QRadioButton::clicked, this,
          [this] { change([](RenderSettings& s) { SetMotionBlur(s, true); }); });
  connect(gammaOff_, &QRadioButton::clicked, this,
          [this] { change([](RenderSettings& s) { SetGammaCorrection(s, false); }); });
  connect(gammaOn_, &QRadioButton::clicked, this,
          [this] { change([](RenderSettings& s) { SetGammaCorrection(s, true); }); });
  connect(range_, &QSlider::valueChanged, this, [this] {
    rangeLabel_->setText(QString::fromStdString(BlurRangeLabel(values())));
    updateOkButton();
  });
  connect(browseOutput_, &QPushButton::clicked, this, &RenderOptionsDialog::browseOutput);
  connect(browseComposite_, &QPushButton::clicked, this, &RenderOptionsDialog::browseComposite);
  for (QLineEdit* edit : {outputName_, width_, height_, samples_, from_, to_, gamma_})
    connect(edit, &QLineEdit::textChanged, this, &RenderOptionsDialog::updateOkButton);
  for (QCheckBox* box : {composite_, fitSquare_})
    connect(box, &QCheckBox::toggled, this, &RenderOptionsDialog::updateOkButton);
}

template <class Change>
void RenderOptionsDialog::change(Change rule) {
  settings_ = values();
  rule(settings_);
  updateControls();
}

void RenderOptionsDialog::setValues(const RenderSettings& settings) {
  settings_ = settings;
  updateControls();
}

RenderSettings RenderOptionsDialog::values() const {
  RenderSettings s = settings_;
  s.outputName = outputName_->text().toStdString();
  if (format_->checkedId() >= 0) s.format = format_->checkedId();
  s.width = IntOf(width_, 0);
  s.height = IntOf(height_, 0);
  if (oversampling_->checkedId() >= 0) s.oversampling = oversampling_->checkedId();
  s.blurSamples = IntOf(samples_, -1);
  SetBlurRangeFromSlider(s, range_->value());
  if (frames_->checkedId() >= 0) s.frameRange = frames_->checkedId();
  s.from = IntOf(from_, -1);
  s.to = IntOf(to_, -1);
  bool ok = false;
  const float gamma = gamma_->text().toFloat(&ok);
  s.gamma = ok ? gamma : std::numeric_limits<float>::quiet_NaN();
  s.composite = composite_->isChecked();
  s.fitSquare = fitSquare_->isChecked();
  return s;
}

QString RenderOptionsDialog::problem() const {
  return problem_->text();
}

void RenderOptionsDialog::updateControls() {
  const RenderSettings& s = settings_;
  SetText(outputName_, QString::fromStdString(s.outputName));
  Check(format_, s.format);
  SetText(width_, QString::number(s.width));
  SetText(height_, QString::number(s.height));
  Check(oversampling_, s.oversampling);
  Check(frames_, s.frameRange);
  SetText(from_, QString::number(s.from));
  SetText(to_, QString::number(s.to));
  from_->setEnabled(s.frameRange == kRenderFromTo);
  to_->setEnabled(s.frameRange == kRenderFromTo);

  const bool gammaOn = GammaOn(s);
  {
    const QSignalBlocker off(gammaOff_), on(gammaOn_);
    (gammaOn ? gammaOn_ : gammaOff_)->setChecked(true);
  }
  SetText(gamma_, GammaText(s.gamma));
  gamma_->setEnabled(gammaOn);

  const bool blurOn = MotionBlurOn(s);
  {
    const QSignalBlocker off(blurOff_), on(blurOn_);
    (blurOn ? blurOn_ : blurOff_)->setChecked(true);
  }
  SetText(samples_, QString::number(s.blurSamples));
  {
    const QSignalBlocker blocker(range_);
    range_->setValue(BlurRangeSliderPosition(s));
  }
  samples_->setEnabled(blurOn);
  range_->setEnabled(blurOn);
  rangeLabel_->setEnabled(blurOn);
  rangeLabel_->setText(QString::fromStdString(BlurRangeLabel(s)));

  {
    const QSignalBlocker a(composite_), b(fitSquare_);
    composite_->setChecked(s.composite);
    fitSquare_->setChecked(s.fitSquare);
  }
  const std::string_view movie = BaseName(s.compositeMovie);
  SetText(compositeName_, QString::fromUtf8(movie.data(), static_cast<qsizetype>(movie.size())));
  updateOkButton();
}

void RenderOptionsDialog::updateOkButton() {
  const QString problem = QString::fromStdString(RenderOptionsProblem(values()));
  ok_->setEnabled(problem.isEmpty());
  if (problem_->text() != problem) problem_->setText(problem);
}

void RenderOptionsDialog::browseOutput() {
  const int format = values().format;
  const QString name = prompts_.saveFileNameFor(Filter(kOutputFileFilter),
                                                QString::fromLatin1(OutputDefaultName(format)));
  if (name.isEmpty()) return;
  change([&name](RenderSettings& s) { s.outputName = name.toStdString(); });
}

void RenderOptionsDialog::browseComposite() {
  const QString name = prompts_.openFileName(Filter(kCompositeMovieFilter));
  if (name.isEmpty()) return;
  change([&name](RenderSettings& s) { s.compositeMovie = name.toStdString(); });
}

}  // namespace modra
