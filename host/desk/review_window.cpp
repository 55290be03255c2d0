#include "host/desk/review_window.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "core/files/input_file.h"
#include "core/recordings/guano.h"
#include "core/recordings/wav_samples.h"
#include "core/signal/spectrogram.h"
#include "host/desk/spectrogram_view.h"
#include "plugin_api/user_dialogs.h"
#include "plugin_api/window_sizes.h"

namespace vane {
namespace {

// A column per pixel of a wide screen: longer recordings keep each column's loudest frame.
constexpr std::size_t kMaxColumns = 4000;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

}  // namespace

ReviewWindow::ReviewWindow(ReviewedRecordings recordings, AlertPresenter& alerts, QWidget* parent)
    : QWidget(parent, Qt::Window),
      source_(std::move(recordings)),
      alerts_(alerts),
      player_([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      spectrogram_(new SpectrogramView),
      title_(new QLabel),
      labelChooser_(new QComboBox),
      fields_(new QTableWidget(0, 2)) {
    setObjectName(QStringLiteral("reviewWindow"));
    setWindowTitle(tr("Review Recordings - Vane"));
    labelChooser_->setObjectName(QStringLiteral("labelChooser"));
    labelChooser_->setEditable(true);
    labelChooser_->setInsertPolicy(QComboBox::NoInsert);
    labelChooser_->setToolTip(
        tr("The labels the library knows; type another. Enter, or the digits 1 to 9 for the "
           "labels in this list, label the recording shown as a person's label."));
    connect(labelChooser_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { labelShown(labelChooser_->currentText()); });
    auto* setLabel = new QPushButton(tr("&Set Label"));
    connect(setLabel, &QPushButton::clicked, this,
            [this] { labelShown(labelChooser_->currentText()); });
    auto* play = new QPushButton(tr("&Play 10x Slower"));
    play->setObjectName(QStringLiteral("playSlowed"));
    connect(play, &QPushButton::clicked, this, &ReviewWindow::playSlowed);
    auto* previous = new QPushButton(tr("< Previous"));
    auto* next = new QPushButton(tr("Next >"));
    for (QPushButton* button : {previous, next, setLabel, play}) {
        button->setFocusPolicy(Qt::NoFocus);  // the arrow keys stay with the window
    }
    connect(previous, &QPushButton::clicked, this, [this] { step(-1); });
    connect(next, &QPushButton::clicked, this, [this] { step(1); });

    auto* bar = new QHBoxLayout;
    bar->addWidget(previous);
    bar->addWidget(next);
    bar->addWidget(title_, 1);
    bar->addWidget(new QLabel(tr("Label:")));
    bar->addWidget(labelChooser_);
    bar->addWidget(setLabel);
    bar->addWidget(play);

    fields_->setObjectName(QStringLiteral("guanoFields"));
    fields_->setHorizontalHeaderLabels({tr("Field"), tr("Value")});
    fields_->horizontalHeader()->setStretchLastSection(true);
    fields_->verticalHeader()->hide();
    fields_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fields_->setFocusPolicy(Qt::NoFocus);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(spectrogram_);
    split->addWidget(fields_);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    fields_->setMinimumHeight(150);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);

    // Undo here too: the library's window and its Edit menu may be behind this one.
    if (source_.undoStack) {
        QAction* undo = source_.undoStack->createUndoAction(this, tr("&Undo"));
        undo->setShortcut(QKeySequence::Undo);
        QAction* redo = source_.undoStack->createRedoAction(this, tr("&Redo"));
        redo->setShortcut(QKeySequence::Redo);
        addAction(undo);
        addAction(redo);
    }
    spectrogram_->setFocus();
    keepWindowSize(*this, QStringLiteral("reviewWindow"), QSize(1000, 700));
}

ReviewWindow::~ReviewWindow() = default;

void ReviewWindow::refresh() {
    labelNames_ = source_.labelNames();
    labelChooser_->clear();
    for (const std::string& name : labelNames_) {
        labelChooser_->addItem(text(name));
    }
    followSelection();
}

void ReviewWindow::followSelection() {
    const std::int64_t shownId = shownRecordingId();
    recordings_ = source_.selected();
    const auto still = std::find_if(recordings_.begin(), recordings_.end(),
                                    [&](const auto& row) { return row.id == shownId; });
    showRecording(still != recordings_.end()
                      ? static_cast<std::size_t>(still - recordings_.begin())
                      : std::min(shown_, recordings_.empty() ? 0 : recordings_.size() - 1));
}

std::int64_t ReviewWindow::shownRecordingId() const {
    return shown_ < recordings_.size() ? recordings_[shown_].id : 0;
}

void ReviewWindow::step(int by) {
    if (recordings_.empty()) {
        return;
    }
    const auto last = static_cast<std::ptrdiff_t>(recordings_.size()) - 1;
    showRecording(static_cast<std::size_t>(
        std::clamp(static_cast<std::ptrdiff_t>(shown_) + by, std::ptrdiff_t{0}, last)));
}

void ReviewWindow::showRecording(std::size_t index) {
    shown_ = index;
    if (recordings_.empty()) {
        drawnId_ = 0;
        title_->setText(tr("No recordings are selected."));
        spectrogram_->showMessage(tr("Select recordings in the library to review them."));
        fields_->setRowCount(0);
        return;
    }
    const library::LibraryRecording& recording = recordings_[index];
    const QString label = recording.label.empty() ? tr("no label") : text(recording.label);
    title_->setText(
        tr("%1 of %2: %3, %4 (%5)")
            .arg(index + 1)
            .arg(recordings_.size())
            .arg(QFileInfo(text(recording.filePath)).fileName(), label,
                 recording.manualLabel ? tr("set by a person") : tr("by a classifier")));
    labelChooser_->setEditText(text(recording.label));
    if (recording.id == drawnId_) {
        return;  // only the label changed: the sound is drawn already
    }
    drawnId_ = recording.id;
    if (recording.filePath.empty()) {
        spectrogram_->showMessage(tr("The library holds no file for this recording."));
        showFields(recording, QString());
        return;
    }
    const Outcome<WavSamples> wav = readWavSamples(recording.filePath);
    if (!wav) {
        spectrogram_->showMessage(text(wav.error().describe()));
        showFields(recording, QString());
        return;
    }
    spectrogram_->showSpectrogram(
        vane::spectrogram(wav->samples, wav->sampleRate, {512, 150000, kMaxColumns}));
    QString sound = tr("%1 kHz, %2 s, %3 bits%4, %5 channel(s)")
                        .arg(QLocale().toString(wav->sampleRate / 1000.0, 'f', 1),
                             QLocale().toString(wav->seconds(), 'f', 3))
                        .arg(wav->bitsPerSample)
                        .arg(wav->floatingPoint ? tr(" float") : QString())
                        .arg(wav->channels);
    if (wav->truncated) {
        sound += tr("; cut short, shown as far as it goes");
    }
    showFields(recording, sound);
}

void ReviewWindow::showFields(const library::LibraryRecording& recording,
                              const QString& soundLine) {
    std::vector<std::pair<QString, QString>> rows = {{tr("File"), text(recording.filePath)}};
    if (!soundLine.isEmpty()) {
        rows.emplace_back(tr("Sound"), soundLine);
    }
    if (!recording.filePath.empty()) {
        const GuanoFileResult guano = readGuanoFile(recording.filePath);
        if (!guano) {
            rows.emplace_back(tr("GUANO"), text(guano.error().describe()));
        } else if (!*guano) {
            rows.emplace_back(tr("GUANO"), tr("none in this file"));
        } else {
            for (const auto& [key, value] : (*guano)->fields) {
                rows.emplace_back(text(key), text(value));
            }
            for (const std::string& problem : (*guano)->problems) {
                rows.emplace_back(tr("Unreadable"), text(problem));
            }
        }
    }
    fields_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < fields_->rowCount(); ++row) {
        fields_->setItem(row, 0, new QTableWidgetItem(rows[static_cast<std::size_t>(row)].first));
        fields_->setItem(row, 1, new QTableWidgetItem(rows[static_cast<std::size_t>(row)].second));
    }
    fields_->resizeColumnToContents(0);
}

void ReviewWindow::labelShown(const QString& label) {
    const QString trimmed = label.trimmed();
    if (trimmed.isEmpty() || shown_ >= recordings_.size()) {
        return;
    }
    source_.label(recordings_[shown_], trimmed.toStdString());
}

void ReviewWindow::playSlowed() {
    if (shown_ >= recordings_.size() || recordings_[shown_].filePath.empty()) {
        return;
    }
    const std::string& path = recordings_[shown_].filePath;
    const Outcome<std::string> bytes = readInputFile(path, "recording");
    const Outcome<std::string> slowed =
        bytes ? timeExpandedWav(*bytes, kSlowDown, path) : Outcome<std::string>(bytes.error());
    if (!slowed) {
        alerts_.showAlert(this, tr("Cannot play recording"), text(slowed.error().describe()));
        return;
    }
    // Kept until the window goes, so that a player slow to start still finds it.
    if (!slowedFiles_) {
        slowedFiles_ = std::make_unique<QTemporaryDir>();
    }
    const QString file =
        QDir(slowedFiles_->path())
            .filePath(QFileInfo(text(path)).completeBaseName() + QStringLiteral("-10x-slower.wav"));
    QSaveFile out(file);
    if (!slowedFiles_->isValid() || !out.open(QIODevice::WriteOnly) ||
        out.write(slowed->data(), static_cast<qint64>(slowed->size())) !=
            static_cast<qint64>(slowed->size()) ||
        !out.commit()) {
        alerts_.showAlert(this, tr("Cannot play recording"),
                          tr("The slowed-down copy could not be written to \"%1\": %2")
                              .arg(file, out.errorString()));
        return;
    }
    if (!player_(QUrl::fromLocalFile(file))) {
        alerts_.showAlert(
            this, tr("Cannot play recording"),
            tr("No program to play \"%1\" was found. Open it with a sound player.").arg(file));
    }
}

void ReviewWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            step(-1);
            return;
        case Qt::Key_Right:
        case Qt::Key_Down:
            step(1);
            return;
        default:
            break;
    }
    const int digit = event->key() - Qt::Key_1;
    if (event->modifiers() == Qt::NoModifier && digit >= 0 && digit < 9 &&
        static_cast<std::size_t>(digit) < labelNames_.size()) {
        labelShown(text(labelNames_[static_cast<std::size_t>(digit)]));
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace vane
