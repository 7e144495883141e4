#include "workbench/Workbench.h"

#include <QMetaObject>

#include "nc/NcTextLineSource.h"
#include "workbench/TextDocument.h"
#include "workbench/WorkbenchView.h"

namespace kelvan::workbench {

namespace {

// How long the text must rest before the live picture follows it.
constexpr int kLiveDelayMs = 300;

}  // namespace

Workbench::Workbench(TextDocument& document, int32_t capacity, QObject* parent)
    : QObject(parent), doc_(document), path_(capacity), exec_(*this), worker_(capacity) {
  liveTimer_.setSingleShot(true);
  liveTimer_.setInterval(kLiveDelayMs);
  connect(&liveTimer_, &QTimer::timeout, this, &Workbench::LiveTimeout);
}

Workbench::~Workbench() = default;

void Workbench::SetFileName(const QString& name) {
  if (name == fileName_) return;
  fileName_ = name;
  emit FileNameChanged(name);
}

// --- the document ---------------------------------------------------------------------------

void Workbench::TextChanged() {
  // The old snapshot goes when the next one is taken: freeing the copy of a large text
  // here would cost a keystroke milliseconds.
  ++revision_;
  analysed_ = false;
  if (!loading_) liveTimer_.start();
}

std::shared_ptr<const nc::NcText> Workbench::Snapshot() {
  if (!snapshot_ || snapshotRevision_ != revision_) {
    snapshot_ = doc_.Snapshot();
    snapshotRevision_ = revision_;
  }
  return snapshot_;
}

void Workbench::Load(const nc::DecodedText& text) {
  CancelLiveAnalysis();
  const uint64_t tag = ++generation_;
  // The analysis reads the decoded text on the worker, and draws its picture there, while
  // the document takes the text in.
  const bool prepared = text.Utf8 && StartWorker(text.Utf8, tag, {});
  loading_ = true;
  doc_.LoadText(text);
  loading_ = false;
  liveTimer_.stop();
  if (text.Utf8) {
    Accept(worker_.Finish());
    snapshot_ = text.Utf8;
    snapshotRevision_ = revision_;
    AfterAnalysis(false);
  } else {
    AnalyseProgram();
  }
  exec_.Abandon();  // nothing of the old program executes
  if (!(prepared && view_ != nullptr && view_->ShowPreparedPicture())) ShowPicture(false);
}

bool Workbench::StartWorker(std::shared_ptr<const nc::NcText> text, uint64_t tag, std::function<void()> done) {
  AnalysisWorker::AfterAnalysis picture;
  if (view_ != nullptr) picture = view_->PreparePicture();
  const bool prepared = static_cast<bool>(picture);
  worker_.Start(std::move(text), AnalyseOptionsNow(), state_, calc_, tag, std::move(picture), std::move(done));
  workerPrepares_ = prepared;
  return prepared;
}

void Workbench::ReplaceText(std::string text) {
  // The snapshot of the old text is no use any more; its memory is.
  snapshot_.reset();
  doc_.ReplaceText(std::move(text));
  analysed_ = false;
  Redraw();
}

void Workbench::Refresh() {
  AnalyseProgram();
  exec_.Abandon();
  ShowPicture(false);
}

// --- the analysis ---------------------------------------------------------------------------

nc::AnalyseOptions Workbench::AnalyseOptionsNow() const {
  nc::AnalyseOptions o;
  o.Tokenize.ValueUnit = settings_.ValueUnit;
  o.Tokenize.ErrorTags = settings_.ErrorTags;
  o.Tokenize.BlockSkipOn = options_.BlockSkip;
  o.AtcHeight = settings_.AtcHeight;
  o.WorkHeight = options_.WorkHeight;
  return o;
}

void Workbench::SetSettings(AnalysisSettings settings) {
  settings_ = std::move(settings);
  analysed_ = false;
}

bool Workbench::AnalyseProgram() {
  CancelLiveAnalysis();
  ++generation_;
  const std::shared_ptr<const nc::NcText> text = Snapshot();
  const nc::NcTextLineSource lines(*text);
  result_ = nc::AnalyseProgram(lines, AnalyseOptionsNow(), calc_, path_, state_, marks_);
  analysed_ = result_.Ok();
  AfterAnalysis(false);
  return analysed_;
}

void Workbench::Accept(AnalysisOutput& out) {
  path_.Swap(out.Path);
  state_ = out.State;
  calc_ = out.Calc;
  std::swap(marks_, out.Marks);
  result_ = out.Result;
  analysed_ = result_.Ok();
}

void Workbench::AfterAnalysis(bool quiet) {
  doc_.ApplyRowMarks(marks_);
  if (!result_.Ok() && !quiet) {
    Beep();
    doc_.ClearSelection();
    doc_.SetCaret(result_.Line, result_.Column);
  }
  emit AnalysisFinished(result_, quiet);
}

// --- the picture ----------------------------------------------------------------------------

bool Workbench::Redraw(bool whiteMode) {
  if (!analysed_ && !AnalyseProgram()) {
    exec_.Abandon();
    ShowPicture(whiteMode);  // the items appended before the fault
    return false;
  }
  if (view_ == nullptr) return true;
  const view::RenderResult r = view_->DrawPicture(exec_.ExecIndex(), whiteMode);
  if (r.EndsExecution) exec_.PictureReachedEnd();
  return true;
}

void Workbench::ShowPicture(bool whiteMode) {
  if (view_ == nullptr) return;
  const view::RenderResult r = view_->DrawPicture(exec_.ExecIndex(), whiteMode);
  if (r.EndsExecution) exec_.PictureReachedEnd();
}

void Workbench::DrawRunItem(int32_t index) {
  if (view_ != nullptr) view_->DrawRunItem(index);
}

void Workbench::Beep() {
  if (view_ != nullptr) view_->Beep();
}

// --- run options ----------------------------------------------------------------------------

void Workbench::AnalyseAndRedraw() {
  emit OptionsChanged();
  if (AnalyseProgram()) Redraw();
}

void Workbench::SetRunOptions(const RunOptions& options) {
  options_ = options;
  analysed_ = false;
  emit OptionsChanged();
}

void Workbench::SetBlockSkip(bool on) {
  options_.BlockSkip = on;
  AnalyseAndRedraw();
}

void Workbench::SetStopAtM00(bool on) {
  options_.StopAtM00 = on;
  AnalyseAndRedraw();
}

void Workbench::SetStopAtM01(bool on) {
  options_.StopAtM01 = on;
  AnalyseAndRedraw();
}

void Workbench::SetUVMode(bool on) {
  options_.UVMode = on;
  AnalyseAndRedraw();
}

void Workbench::SetTracking(bool on) {
  options_.Tracking = on;
  emit OptionsChanged();
  Redraw();
}

void Workbench::SetWorkHeight(double height) {
  if (height < 0) return;
  options_.WorkHeight = height;
  analysed_ = false;  // the analysis takes the height
  emit OptionsChanged();
  Redraw();
}

// --- the live picture -----------------------------------------------------------------------

void Workbench::ExecutionStateChanged() {
  // A change that came in while the program executed is analysed once it stops.
  if (!exec_.IsExecuting() && !analysed_ && !liveTimer_.isActive() && !worker_.Busy()) liveTimer_.start();
}

void Workbench::CancelLiveAnalysis() {
  liveTimer_.stop();
  // A running worker goes on; its result no longer matches the generation and is dropped.
}

void Workbench::LiveTimeout() {
  if (analysed_ || exec_.IsExecuting()) return;
  if (worker_.Busy()) return;  // WorkerDone starts the next one
  const std::shared_ptr<const nc::NcText> text = Snapshot();
  if (text->LineCount() < workerThreshold_) {
    ++generation_;
    const nc::NcTextLineSource lines(*text);
    result_ = nc::AnalyseProgram(lines, AnalyseOptionsNow(), calc_, path_, state_, marks_);
    analysed_ = result_.Ok();
    AfterAnalysis(true);
    ShowPicture(false);
    return;
  }
  workerRevision_ = revision_;
  StartWorker(text, ++generation_, [this] {
    // On the worker thread: the end is handled on the user-interface thread.
    QMetaObject::invokeMethod(this, &Workbench::WorkerDone, Qt::QueuedConnection);
  });
}

void Workbench::WorkerDone() {
  if (!worker_.Busy()) return;  // taken already (a load waited for it)
  AnalysisOutput& out = worker_.Finish();
  const bool current = worker_.Tag() == generation_ && workerRevision_ == revision_ && !exec_.IsExecuting();
  if (current) {
    Accept(out);
    AfterAnalysis(true);
    if (!(workerPrepares_ && view_ != nullptr && view_->ShowPreparedPicture())) ShowPicture(false);
  } else if (!analysed_ && !exec_.IsExecuting() && !liveTimer_.isActive()) {
    liveTimer_.start();  // the text moved on meanwhile
  }
}

}  // namespace kelvan::workbench
