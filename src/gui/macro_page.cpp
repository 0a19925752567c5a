#include "gui/macro_page.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

#include "editing/record_delays_option.h"
#include "gui/action_cell_delegate.h"
#include "gui/dialog_prompt.h"
#include "gui/macro_memory_view.h"
#include "gui/recording_watch.h"
#include "gui/widgets/png_button.h"
#include "keys/key_lookup.h"
#include "keys/key_table.h"
#include "profiles/profile_image.h"
#include "texts/lookup_keys.h"
#include "texts/macro_texts.h"
#include "texts/user_text.h"

namespace qv::gui {
namespace {

using macros::EditOutcome;
using macros::EditResult;
using macros::MovePlace;

// The signs of the action column.
const QString kPressSign = QStringLiteral("↓");
const QString kReleaseSign = QStringLiteral("  ↑");

// The seven buttons that act on the shown macro's actions, enabled while a macro is shown.
constexpr std::string_view kActionButtons[] = {
    "FUNC_MACRO_RECORD", "FUNC_MACRO_DELETE2", "FUNC_MACRO_CLEAR",      "FUNC_MACRO_UP_TOP",
    "FUNC_MACRO_UP",     "FUNC_MACRO_DOWN",    "FUNC_MACRO_DOWN_BOTTOM"};

struct MoveCommand {
    MovePlace place;
    std::string_view button;
    std::string_view lookupKey;
    QKeyCombination shortcut;
};
constexpr MoveCommand kMoves[] = {
    {MovePlace::First, "FUNC_MACRO_UP_TOP", ui::kIdsCompositeMacroActionUpTop,
     Qt::CTRL | Qt::Key_Home},
    {MovePlace::Up, "FUNC_MACRO_UP", ui::kIdsCompositeMacroActionUp, Qt::CTRL | Qt::Key_Up},
    {MovePlace::Down, "FUNC_MACRO_DOWN", ui::kIdsCompositeMacroActionDown, Qt::CTRL | Qt::Key_Down},
    {MovePlace::Last, "FUNC_MACRO_DOWN_BOTTOM", ui::kIdsCompositeMacroActionDownBottom,
     Qt::CTRL | Qt::Key_End},
};

// Key and action cells are grey: the delay is the cell one usually edits.
const QColor kFixedCellColour(0x9a, 0xa3, 0xb0);
constexpr int kRowHeight = 20;
constexpr int kStateColumnWidth = 40;
constexpr int kDelayColumnWidth = 72;
constexpr int kHintPoints = 8;

}  // namespace

MacroPage::MacroPage(QWidget& dialog, MacroPageContext context)
    : QObject(&dialog),
      dialog_(dialog),
      texts_(*context.texts),
      lookup_(*context.lookup),
      settings_(context.settings),
      prompt_(std::make_unique<DialogPrompt>(&dialog)),
      watch_(new RecordingWatch(dialog, recorder_, this)) {
    connect(watch_, &RecordingWatch::Recorded, this, &MacroPage::ShowRecorded);
    connect(watch_, &RecordingWatch::FocusLeft, this, &MacroPage::StopRecording);
}

MacroPage::~MacroPage() = default;

void MacroPage::SetClock(Clock clock) {
    watch_->SetClock(std::move(clock));
}

QString MacroPage::Text(std::string_view lookupKey) const {
    return QString::fromStdString(ui::LookupUserText(lookup_, lookupKey));
}

keys::TextLookupFn MacroPage::LookupFn() const {
    return [this](const std::string& key) { return ui::LookupUserText(lookup_, key); };
}

std::string MacroPage::RecordDelaysEntry() const {
    return ui::LookupUserText(lookup_, ui::kIdsMacroActionRecordDelay);
}

PngButton* MacroPage::Button(std::string_view key) const {
    const auto found = buttons_.find(key);
    return found != buttons_.end() ? found->second : nullptr;
}

QAction* MacroPage::MoveMacroAction(MovePlace place) const {
    const auto found = macroMoves_.find(place);
    return found != macroMoves_.end() ? found->second : nullptr;
}

// ---- Set-up ---------------------------------------------------------------------------------

QWidget* MacroPage::CreateControl(std::string_view key, const QRect& geometry) {
    QWidget* widget = nullptr;
    if (key == "FUNC_MACRO_LIST") {
        // The name box above the list: the name of the macro shown, edited in place.
        auto* box = new QWidget(&dialog_);
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(4);
        nameBox_ = new QLineEdit(box);
        nameBox_->setObjectName(QStringLiteral("MacroNameBox"));
        nameBox_->setMaxLength(static_cast<int>(macros::kMaxMacroNameLength));
        macroList_ = new QListWidget(box);
        macroList_->setObjectName(QStringLiteral("MacroList"));
        macroList_->setContextMenuPolicy(Qt::ActionsContextMenu);
        layout->addWidget(nameBox_);
        layout->addWidget(macroList_, 1);
        widget = box;
    } else if (key == "FUNC_MACRO_LIST2") {
        CreateActionList();
        widget = actionList_;
    } else if (key == "FUNC_MACRO_CYCLES") {
        widget = repeatBox_ = new QLineEdit(&dialog_);
        repeatBox_->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,9}")), repeatBox_));
    } else if (key == "FUNC_MACRO_RECORD_DELAY") {
        widget = recordDelays_ = new QCheckBox(&dialog_);
    } else if (key == "FUNC_MACRO_MEMORY") {
        widget = meter_ = new MacroMemoryView(&dialog_);
    } else if (key == "FUNC_MACRO_RECORD_HINT") {
        widget = hint_ = new QLabel(&dialog_);
        hint_->setWordWrap(true);
        hint_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QFont font = hint_->font();
        font.setPointSize(kHintPoints);
        hint_->setFont(font);
        hint_->setStyleSheet(QStringLiteral("color: #e0574f;"));
        hint_->hide();
    } else {
        return nullptr;
    }
    widget->setObjectName(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
    widget->setGeometry(geometry);
    return widget;
}

void MacroPage::CreateActionList() {
    actionList_ = new QTableWidget(0, 3, &dialog_);
    actionList_->verticalHeader()->hide();
    actionList_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    QHeaderView* header = actionList_->horizontalHeader();
    header->setHighlightSections(false);
    // The key name takes what the sign and the delay leave.
    header->setSectionResizeMode(static_cast<int>(ActionColumn::Key), QHeaderView::Stretch);
    header->setSectionResizeMode(static_cast<int>(ActionColumn::State), QHeaderView::Fixed);
    header->setSectionResizeMode(static_cast<int>(ActionColumn::Delay), QHeaderView::Fixed);
    header->resizeSection(static_cast<int>(ActionColumn::State), kStateColumnWidth);
    header->resizeSection(static_cast<int>(ActionColumn::Delay), kDelayColumnWidth);
    actionList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    actionList_->setSelectionMode(QAbstractItemView::SingleSelection);
    actionList_->setShowGrid(false);
    actionList_->setWordWrap(false);
    // A click on a cell of the selected row edits it; F2 edits the current cell.
    actionList_->setEditTriggers(QAbstractItemView::SelectedClicked |
                                 QAbstractItemView::EditKeyPressed);
    QStringList keyNames;
    for (keys::KeyListId id = 0; id < keys::kKeyChoiceCount; ++id) {
        keyNames << QString::fromStdString(keys::KeyNameByListId(id, LookupFn()));
    }
    delegate_ =
        new ActionCellDelegate(actionList_, keyNames, {kPressSign, kReleaseSign},
                               {.opening =
                                    [this](ActionColumn column) {
                                        // The delay is typed with the keyboard, which a recording
                                        // would take.
                                        if (column == ActionColumn::Delay) {
                                            StopRecording();
                                        }
                                    },
                                .chosen =
                                    [this](int row, ActionColumn column, std::uint64_t value) {
                                        OnCellChosen(row, static_cast<int>(column), value);
                                    }});
    actionList_->setItemDelegate(delegate_);
}

void MacroPage::AttachButton(std::string_view key, PngButton& button) {
    buttons_[std::string(key)] = &button;
    if (key == "FUNC_MACRO_RECORD") {
        // The caption changes with the state, so the program draws it.
        watch_->SetRecordButton(&button);
        button.SetCaptionFont();
        button.SetTextColours(QColor(0xdf, 0xe4, 0xec), Qt::white, Qt::white,
                              QColor(0x4c, 0x52, 0x5c));
    }
}

void MacroPage::Connect() {
    const auto on = [this](std::string_view key, auto&& action) {
        if (PngButton* button = Button(key)) {
            connect(button, &QAbstractButton::clicked, this, action);
        }
    };
    on("FUNC_MACRO_RECORD", [this] { OnRecord(); });
    on("FUNC_MACRO_ADD", [this] { OnAdd(); });
    on("FUNC_MACRO_DELETE", [this] { OnDelete(); });
    on("FUNC_MACRO_DELETE2", [this] { OnDeleteAction(); });
    on("FUNC_MACRO_CLEAR", [this] { OnClearActions(); });
    for (const MoveCommand& move : kMoves) {
        on(move.button, [this, place = move.place] { OnMoveAction(place); });
        auto* action = new QAction(macroList_);
        action->setShortcut(move.shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this,
                [this, place = move.place] { OnMoveMacro(place); });
        macroList_->addAction(action);
        macroMoves_[move.place] = action;
    }
    // The list takes Ctrl with the arrow keys for its own cursor before a shortcut sees them.
    macroList_->installEventFilter(this);
    connect(macroList_, &QListWidget::currentRowChanged, this, &MacroPage::OnMacroChosen);
    connect(nameBox_, &QLineEdit::textEdited, this, &MacroPage::OnNameTyped);
    connect(actionList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MacroPage::OnActionSelection);
    connect(repeatBox_, &QLineEdit::textEdited, this, &MacroPage::OnRepeatTyped);
    connect(recordDelays_, &QCheckBox::clicked, this, &MacroPage::OnRecordDelays);
    UpdateControls();
}

void MacroPage::LoadTexts() {
    actionList_->setHorizontalHeaderLabels({Text(ui::kIdsMacroActionColumnKeys),
                                            Text(ui::kIdsMacroActionColumnAction),
                                            Text(ui::kIdsMacroActionColumnDelay)});
    actionList_->setAccessibleName(Text(ui::kIdsCompositeSelectMacro));
    hint_->setText(Text(ui::kIdsMacroRecordingHint));
    macroList_->setToolTip(Text(ui::kIdsMacroListMoveTip));
    recordDelays_->setAccessibleName(Text(ui::kIdsMacroRecordDelay));
    repeatBox_->setAccessibleName(Text(ui::kIdsMacroCycles));
    nameBox_->setAccessibleName(Text(ui::kIdsMacroName));
    for (const MoveCommand& move : kMoves) {
        macroMoves_[move.place]->setText(Text(move.lookupKey));
    }
    const auto name = [this](std::string_view key, std::string_view lookupKey) {
        if (PngButton* button = Button(key)) {
            const QString text = Text(lookupKey);
            button->SetTooltipText(text, true);
            button->setAccessibleName(text);
        }
    };
    for (const MoveCommand& move : kMoves) {
        name(move.button, move.lookupKey);
    }
    name("FUNC_MACRO_DELETE2", ui::kIdsCompositeMacroActionDelete);
    name("FUNC_MACRO_CLEAR", ui::kIdsCompositeMacroActionClear);
    name("FUNC_MACRO_RECORD", ui::kIdsCompositeMacroActionRecord);
    ShowActions();
    UpdateControls();
    ShowMeter();
}

// ---- Session --------------------------------------------------------------------------------

void MacroPage::Open(const app::KeyboardViewSnapshot& snapshot, std::uint16_t shownId) {
    watch_->Stop();
    profiles::ImageContents contents;
    contents.blocks = snapshot.blocks;
    contents.macros = snapshot.macros;
    capacity_ = snapshot.macroCapacity;
    manager_.Open(contents, shownId);
    bool recordDelays = false;
    if (settings_ != nullptr) {
        recordDelays = macros::LoadRecordDelaysOption(*settings_, RecordDelaysEntry());
    } else {
        recordDelays = recorder_.RecordDelays();
    }
    recorder_.SetRecordDelays(recordDelays);
    recordDelays_->setChecked(recordDelays);
    Refresh();
    emit RecordingChanged(false);
}

void MacroPage::Close() {
    watch_->Stop();
    manager_.Close();
    Refresh();
    emit RecordingChanged(false);
}

void MacroPage::FollowImage(const app::KeyboardViewSnapshot& snapshot) {
    capacity_ = snapshot.macroCapacity;
    profiles::ImageContents contents;
    contents.blocks = snapshot.blocks;
    manager_.RefreshKeyEntries(contents);
    ShowMeter();
}

void MacroPage::FinishEditing() {
    QWidget* editor = delegate_->LastEditor();
    if (editor != nullptr && actionList_->indexWidget(delegate_->LastEditedCell()) == editor) {
        emit delegate_->commitData(editor);
        emit delegate_->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    StopRecording();
}

void MacroPage::StopRecording() {
    if (!recorder_.Recording() && !watch_->Watching()) {
        return;
    }
    recorder_.Stop();
    watch_->Stop();
    UpdateControls();
    emit RecordingChanged(false);
}

std::shared_ptr<macros::MacroManager> MacroPage::TakeCommit() {
    FinishEditing();
    // The one copy: the page goes on editing its own, the session commits this one.
    auto session = std::make_shared<macros::MacroManager>(manager_);
    manager_.MarkCommitted();
    return session;
}

// ---- What the page shows ------------------------------------------------------------------

void MacroPage::Refresh() {
    ShowMacroList(true);
    ShowActions();
    ShowRepeatCount();
    UpdateControls();
    ShowMeter();
}

void MacroPage::ShowMacroList(bool nameBoxToo) {
    const QSignalBlocker blocker(macroList_);
    macroList_->clear();
    for (const macros::MacroRecord& macro : manager_.Macros()) {
        macroList_->addItem(QString::fromStdU16String(macro.name));
    }
    const auto shown = manager_.ShownIndex();
    if (shown) {
        macroList_->setCurrentRow(static_cast<int>(*shown));
    }
    if (nameBoxToo) {
        const macros::MacroRecord* macro = manager_.ShownMacro();
        nameBox_->setText(macro != nullptr ? QString::fromStdU16String(macro->name) : QString());
    }
}

std::size_t MacroPage::ShownActionCount() const {
    const macros::MacroRecord* macro = manager_.ShownMacro();
    return macro != nullptr ? macro->actions.size() : 0;
}

void MacroPage::ShowActions() {
    const QSignalBlocker blocker(actionList_->selectionModel());
    actionList_->clearContents();
    actionList_->setRowCount(static_cast<int>(ShownActionCount()));
    for (int row = 0; row < actionList_->rowCount(); ++row) {
        FillRow(row);
    }
    SelectRow(manager_.SelectedAction());
}

void MacroPage::FillRow(int row) {
    const macros::MacroRecord* macro = manager_.ShownMacro();
    if (macro == nullptr || row < 0 || static_cast<std::size_t>(row) >= macro->actions.size()) {
        return;
    }
    const macros::MacroAction& action = macro->actions[static_cast<std::size_t>(row)];
    const bool press = action.state == macros::KeyState::Press;
    const auto cell = [this, row](ActionColumn column) {
        const int at = static_cast<int>(column);
        QTableWidgetItem* item = actionList_->item(row, at);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            actionList_->setItem(row, at, item);
        }
        return item;
    };
    QTableWidgetItem* key = cell(ActionColumn::Key);
    key->setText(QString::fromStdString(keys::KeyName(action.key, LookupFn())));
    key->setData(kActionValueRole, static_cast<unsigned>(action.key));
    key->setForeground(kFixedCellColour);
    QTableWidgetItem* state = cell(ActionColumn::State);
    state->setText(press ? kPressSign : kReleaseSign);
    state->setData(kActionValueRole, static_cast<unsigned>(action.state));
    state->setForeground(kFixedCellColour);
    // The sign says it to the eye; the words say it to everyone else.
    const QString stateWord = Text(press ? ui::kIdsMacroActionPress : ui::kIdsMacroActionRelease);
    state->setToolTip(stateWord);
    state->setData(Qt::AccessibleTextRole, stateWord);
    QTableWidgetItem* delay = cell(ActionColumn::Delay);
    delay->setText(QString::number(action.delay));
    delay->setData(kActionValueRole, static_cast<unsigned>(action.delay));
}

void MacroPage::SelectRow(std::optional<std::size_t> row) {
    const QSignalBlocker blocker(actionList_->selectionModel());
    if (!row || static_cast<int>(*row) >= actionList_->rowCount()) {
        actionList_->clearSelection();
        return;
    }
    const int at = static_cast<int>(*row);
    actionList_->setCurrentCell(at, std::max(actionList_->currentColumn(), 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    actionList_->scrollToItem(actionList_->item(at, 0));
}

void MacroPage::ShowRepeatCount() {
    const macros::MacroRecord* macro = manager_.ShownMacro();
    repeatBox_->setText(QString::number(macro != nullptr ? macro->repeatCount : 1));
}

void MacroPage::ShowMeter() {
    const macros::MacroMemoryMeter meter = manager_.Meter(capacity_);
    meter_->Show(meter, QString::fromStdString(ui::MacroMemoryText(meter, lookup_)),
                 QString::fromStdString(ui::MacroMemoryWarning(meter, lookup_)));
}

void MacroPage::UpdateControls() {
    const bool shown = manager_.ShownMacro() != nullptr;
    const bool recording = recorder_.Recording();
    for (const std::string_view key : kActionButtons) {
        if (PngButton* button = Button(key)) {
            button->setEnabled(shown);
        }
    }
    // While recording, the macro shown stays the one recorded into.
    if (PngButton* add = Button("FUNC_MACRO_ADD")) {
        add->setEnabled(!recording);
    }
    if (PngButton* remove = Button("FUNC_MACRO_DELETE")) {
        remove->setEnabled(shown && !recording);
    }
    macroList_->setEnabled(!recording);
    nameBox_->setEnabled(!recording);
    repeatBox_->setEnabled(shown);
    for (const auto& [place, action] : macroMoves_) {
        action->setEnabled(shown && !recording);
    }
    if (PngButton* record = Button("FUNC_MACRO_RECORD")) {
        record->setText(QString::fromStdString(ui::RecordButtonText(recording, texts_, lookup_)));
    }
    hint_->setVisible(recording);
}

void MacroPage::Changed() {
    ShowMeter();
    emit Edited();
}

void MacroPage::Tell(macros::MacroNotice notice) {
    const std::string text = ui::MacroNoticeText(notice, texts_, lookup_);
    if (!text.empty()) {
        prompt_->ShowMessage(text);
    }
}

bool MacroPage::Ask(macros::MacroNotice notice) {
    return prompt_->AskYesNo(ui::MacroNoticeText(notice, texts_, lookup_));
}

// ---- The user's commands ------------------------------------------------------------------

void MacroPage::OnMacroChosen(int row) {
    if (row < 0) {
        return;
    }
    (void)manager_.Show(static_cast<std::size_t>(row));
    if (manager_.ShownIndex() != static_cast<std::size_t>(row)) {
        // Not while recording: the list goes back to the macro recorded into.
        if (const auto shown = manager_.ShownIndex()) {
            const QSignalBlocker blocker(macroList_);
            macroList_->setCurrentRow(static_cast<int>(*shown));
        }
        return;
    }
    nameBox_->setText(QString::fromStdU16String(manager_.ShownMacro()->name));
    ShowActions();
    ShowRepeatCount();
    UpdateControls();
    // Another macro for the key is a choice Apply writes.
    emit Edited();
}

void MacroPage::OnNameTyped(const QString& text) {
    const std::size_t before = manager_.Macros().size();
    if (!manager_.Rename(text.toStdU16String()).Changed()) {
        return;
    }
    if (manager_.Macros().size() != before) {
        // The list was empty: the name made a macro.
        ShowMacroList(false);
        ShowActions();
        ShowRepeatCount();
        UpdateControls();
    } else if (const auto shown = manager_.ShownIndex()) {
        macroList_->item(static_cast<int>(*shown))
            ->setText(QString::fromStdU16String(manager_.ShownMacro()->name));
    }
    Changed();
}

void MacroPage::OnAdd() {
    const EditResult result = manager_.Add(ui::NewMacroNamePrefix(texts_, lookup_));
    if (result.outcome == EditOutcome::Refused) {
        Tell(result.notice);
        return;
    }
    if (result.Changed()) {
        Refresh();
        Changed();
    }
}

void MacroPage::OnDelete() {
    EditResult result = manager_.Delete(false);
    if (result.outcome == EditOutcome::AskFirst) {
        if (!Ask(result.notice)) {
            return;
        }
        result = manager_.Delete(true);
    }
    if (result.Changed()) {
        Refresh();
        Changed();
    }
}

void MacroPage::OnMoveMacro(MovePlace place) {
    if (manager_.MoveMacro(place).Changed()) {
        ShowMacroList(false);
        Changed();
    }
}

void MacroPage::OnActionSelection() {
    const QModelIndexList rows = actionList_->selectionModel()->selectedRows();
    manager_.SelectAction(rows.isEmpty() ? std::nullopt
                                         : std::optional<std::size_t>(rows.first().row()));
}

void MacroPage::OnDeleteAction() {
    if (manager_.DeleteAction().Changed()) {
        ShowActions();
        Changed();
    }
}

void MacroPage::OnClearActions() {
    EditResult result = manager_.ClearActions(false);
    if (result.outcome == EditOutcome::AskFirst) {
        if (!Ask(result.notice)) {
            return;
        }
        result = manager_.ClearActions(true);
    }
    if (result.Changed()) {
        ShowActions();
        Changed();
    }
}

void MacroPage::OnMoveAction(MovePlace place) {
    const bool moved = manager_.MoveAction(place).Changed();
    if (moved) {
        ShowActions();
    }
    actionList_->setFocus(Qt::OtherFocusReason);
    if (moved) {
        Changed();
    }
}

void MacroPage::OnCellChosen(int row, int column, std::uint64_t value) {
    const auto at = static_cast<std::size_t>(row);
    EditResult result;
    switch (static_cast<ActionColumn>(column)) {
        case ActionColumn::Delay:
            result = manager_.SetActionDelay(at, value);
            break;
        case ActionColumn::Key:
            result = manager_.SetActionKey(at, static_cast<keys::KeyListId>(value));
            break;
        case ActionColumn::State:
            result = manager_.SetActionState(
                at, value == 0 ? macros::KeyState::Press : macros::KeyState::Release);
            break;
    }
    FillRow(row);
    if (result.Changed()) {
        Changed();
    }
    if (result.notice != macros::MacroNotice::None) {
        Tell(result.notice);
    }
}

void MacroPage::OnRepeatTyped(const QString& text) {
    const macros::TypedRepeatCount typed = manager_.SetRepeatCountText(text.toStdString());
    if (!typed.text.empty()) {
        repeatBox_->setText(
            QString::fromLatin1(typed.text.data(), static_cast<qsizetype>(typed.text.size())));
    }
    if (manager_.ShownMacro() != nullptr) {
        Changed();
    }
}

void MacroPage::OnRecordDelays(bool on) {
    recorder_.SetRecordDelays(on);
    if (settings_ != nullptr) {
        macros::StoreRecordDelaysOption(*settings_, RecordDelaysEntry(), on);
    }
}

void MacroPage::OnRecord() {
    switch (recorder_.Toggle(watch_->Now())) {
        case macros::RecordStart::Started:
            watch_->Start();
            break;
        case macros::RecordStart::Stopped:
            watch_->Stop();
            break;
        case macros::RecordStart::NoMacroShown:
            return;
    }
    UpdateControls();
    emit RecordingChanged(recorder_.Recording());
}

// ---- Recording ------------------------------------------------------------------------------

bool MacroPage::eventFilter(QObject* watched, QEvent* event) {
    // The list takes Ctrl with the arrow keys for its own cursor before a shortcut sees them.
    if (watched == macroList_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        for (const MoveCommand& move : kMoves) {
            if (key->keyCombination() == move.shortcut) {
                macroMoves_[move.place]->trigger();
                return true;
            }
        }
    }
    return false;
}

void MacroPage::ShowRecorded() {
    // The list shows the actions as they were before the event.
    const auto actionsBefore = static_cast<std::size_t>(actionList_->rowCount());
    const std::size_t after = ShownActionCount();
    const auto row = manager_.SelectedAction();
    if (after == actionsBefore + 1 && row) {
        // One new row and the delay of the one before it.
        const QSignalBlocker blocker(actionList_->selectionModel());
        const int at = static_cast<int>(*row);
        actionList_->insertRow(at);
        FillRow(at);
        FillRow(at - 1);
        SelectRow(row);
    } else if (after != actionsBefore) {
        ShowActions();
    } else {
        return;  // the list is full: the action was dropped
    }
    Changed();
}

}  // namespace qv::gui
