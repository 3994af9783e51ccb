#include "ui/addphotos/addphotos_page.hpp"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QUrl>
#include <optional>
#include <string>
#include <vector>

#include "core/log/logger.hpp"
#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/photos/package_counter.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "ui/addphotos/addphotos_edit_panel.hpp"
#include "ui/addphotos/addphotos_logo_panel.hpp"
#include "ui/addphotos/addphotos_panel_alt.hpp"
#include "ui/addphotos/addphotos_panel_alt_layout.hpp"
#include "ui/addphotos/addphotos_statusbar.hpp"
#include "ui/addphotos/photo_list/addphotos_list.hpp"
#include "ui/addphotos/photo_list/dropped_path.hpp"
#include "ui/addphotos/photo_list/photo_dialogs.hpp"
#include "ui/addphotos/photo_list/photo_filters.hpp"
#include "ui/addphotos/recipients/recipients_completion.hpp"
#include "ui/controls/basic_list_notification.hpp"
#include "ui/controls/cue_edit.hpp"
#include "ui/controls/link_label.hpp"
#include "ui/controls/make_control.hpp"
#include "ui/controls/plain_text_edit.hpp"
#include "ui/rename/addphotos_rename_popup.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/localized_text.hpp"

namespace parvel {

namespace {

void set_text_colour(QWidget& widget, const QColor& colour) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText, colour);
  widget.setPalette(palette);
}

package_info& current_package() {
  return *user::instance()->get_package();
}

}  // namespace

addphotos_page::addphotos_page(QWidget* parent) : QWidget(parent) {
  const auto make_label = [this](const char* text_id, int id, Qt::Alignment alignment) {
    auto* label = make_control<QLabel>(this, id, 6, text_id ? localized(text_id) : QString());
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
  };
  const auto make_edit = [](auto* edit, int id, int limit) {
    set_up_control(*edit, id, 5);
    edit->setMaxLength(limit);
    // Files dropped on a field go to the photo set, not into the text.
    edit->setAcceptDrops(false);
    return edit;
  };
  const QColor dark_grey(0x50, 0x50, 0x50);

  // Created in the tab order; the size panel's fields join it after the
  // Message edit (order_tab_chain).
  to_label_ = make_label("recipients_label", 0, Qt::AlignRight);
  to_edit_ = make_edit(new cue_edit(this), 124, 200);
  to_edit_->set_cue_text(localized("recipients_cue"));
  from_label_ = make_label("from_label", 0, Qt::AlignRight);
  from_edit_ = make_edit(new cue_edit(this), 123, 128);
  from_edit_->set_cue_text(localized("from_cue"));
  subject_label_ = make_label("subject_label", 137, Qt::AlignRight);
  set_text_colour(*subject_label_, dark_grey);
  subject_edit_ = make_edit(new QLineEdit(this), 138, 128);
  message_label_ = make_label("message_label", 139, Qt::AlignRight);
  set_text_colour(*message_label_, dark_grey);
  auto* const message = make_control<plain_text_edit>(this, 140, 5);
  message->set_max_length(message_limit);
  message_edit_ = message;
  message_edit_->setAcceptDrops(false);
  message_edit_->setTabChangesFocus(true);
  counter_ = make_label(nullptr, 147, Qt::AlignHCenter);
  counter_->setText(make_remaining_text(0));
  set_text_colour(*counter_, dark_grey);
  photos_label_ = make_label("photos_label", 0, Qt::AlignRight);
  list_ = new addphotos_list(this);
  list_->hide();
  checkbox_ = make_control<QCheckBox>(this, 141, 10, localized("copy_to_myself"));
  checkbox_->hide();
  send_ = make_control<QPushButton>(this, 1, 10, localized("send"));
  send_->hide();
  setFocusProxy(to_edit_);

  setAcceptDrops(true);
  connect(to_edit_, &QLineEdit::textChanged, this, [this] { update_send_enabled(); });
  connect(from_edit_, &QLineEdit::textChanged, this, [this] { update_send_enabled(); });
  // Enter in a single-line field is the Send command.
  for (QLineEdit* edit :
       {static_cast<QLineEdit*>(to_edit_), static_cast<QLineEdit*>(from_edit_), subject_edit_}) {
    connect(edit, &QLineEdit::returnPressed, this, [this] { on_send(); });
  }
  connect(send_, &QPushButton::clicked, this, [this] { on_send(); });
  connect(message_edit_, &QPlainTextEdit::textChanged, this, [this] { on_message_changed(); });
  connect(list_, &basic_list_base::signal_notify, this,
          [this](const basic_list_notification& record) { on_list_notify(record); });

  user& person = *user::instance();
  controller& hub = *application::instance()->controller();
  connections_.emplace_back(person.signal_photos_added.connect([this] { layout(); }));
  connections_.emplace_back(person.signal_photos_removed.connect([this] { layout(); }));
  connections_.emplace_back(person.signal_sender_changed.connect(
      [this](const std::string& address) { on_sender_changed(address); }));
  connections_.emplace_back(hub.signal_commit_updates.connect([this] { on_commit_updates(); }));
  // Raised on the upload job's thread.
  connections_.emplace_back(
      hub.on_photo_upload_succeeded.connect(relay(&addphotos_page::on_upload_succeeded)));
  connections_.emplace_back(list_->signal_empty_click.connect([this] { on_add_files(); }));

  // Owned by the To edit; its popup follows the edit.
  new recipients_completion(*to_edit_);
  auto* const action_panel = new addphotos_panel_alt(this);
  connections_.emplace_back(action_panel->signal_add_files.connect([this] { on_add_files(); }));
  connections_.emplace_back(action_panel->signal_add_folder.connect([this] { on_add_folder(); }));
  connections_.emplace_back(
      action_panel->signal_rename_clicked.connect([this] { toggle_rename_popup(); }));
  set_panel(panel::action, action_panel);
  // After the page's own commit slot: the form first, then the options.
  set_panel(panel::edit, new addphotos_edit_panel(this));
  set_panel(panel::logo, new addphotos_logo_panel(this));
  set_panel(panel::status_bar, new addphotos_statusbar(this));

  from_edit_->setText(QString::fromStdString(current_package().sender));
  update_send_enabled();
}

addphotos_page::~addphotos_page() {
  while (!connections_.empty())
    connections_.pop_back();
}

void addphotos_page::set_panel(panel which, QWidget* widget) {
  panels_[static_cast<int>(which)] = widget;
  if (widget)
    widget->setParent(this);
  if (which == panel::edit)
    order_tab_chain();
  layout();
}

void addphotos_page::order_tab_chain() {
  std::vector<QWidget*> chain = {to_edit_, from_edit_, subject_edit_, message_edit_};
  if (QWidget* sizes = panel_widget(panel::edit)) {
    for (QWidget* w = sizes->nextInFocusChain(); w != sizes; w = w->nextInFocusChain()) {
      if (sizes->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus))
        chain.push_back(w);
    }
  }
  // The photo list is no tab stop, but Tab from it (after a click) goes on
  // from its place among the controls.
  chain.insert(chain.end(), {list_, checkbox_, send_});
  for (std::size_t i = 1; i < chain.size(); ++i)
    setTabOrder(chain[i - 1], chain[i]);
}

QWidget* addphotos_page::panel_widget(panel which) const {
  return panels_[static_cast<int>(which)];
}

void addphotos_page::set_dialogs(std::unique_ptr<photo_dialogs> dialogs) {
  dialogs_ = std::move(dialogs);
}

addphotos_layout_input addphotos_page::measure() const {
  addphotos_layout_input input;
  input.client = size();
  for (const QLabel* label :
       {to_label_, subject_label_, message_label_, photos_label_, from_label_}) {
    const QSize text = fit_static_to_text(*label);
    input.label_text = input.label_text.expandedTo(text);
  }
  input.from_label_width = fit_static_to_text(*from_label_).width();
  input.edit_text_height = measure_text(QStringLiteral("TEXT"), to_edit_->font()).height();
  input.send_text = measure_text(send_->text(), send_->font());
  if (const QWidget* bar = panel_widget(panel::status_bar))
    input.status_bar_height = bar->height();
  if (const QWidget* action = panel_widget(panel::action))
    input.action_panel_height = action->sizeHint().height();
  return input;
}

QSize addphotos_page::minimumSizeHint() const {
  return {0, addphotos_height_for_list(measure(), empty_picture_height())};
}

void addphotos_page::layout() {
  const std::optional<addphotos_layout> places = layout_addphotos_page(measure());
  if (!places)
    return;
  const std::pair<QWidget*, QRect> controls[] = {
      {to_label_, places->to_label},
      {from_label_, places->from_label},
      {subject_label_, places->subject_label},
      {message_label_, places->message_label},
      {counter_, places->counter},
      {photos_label_, places->photos_label},
      {to_edit_, places->to_edit},
      {from_edit_, places->from_edit},
      {subject_edit_, places->subject_edit},
      {message_edit_, places->message_edit},
      {checkbox_, places->checkbox},
      {send_, places->send},
      {list_, places->list},
      {panel_widget(panel::edit), places->edit_panel},
      {panel_widget(panel::action), places->action_panel},
      {panel_widget(panel::logo), places->logo_panel},
  };
  for (const auto& [control, place] : controls) {
    if (!control)
      continue;
    control->setGeometry(place);
    control->show();
  }
  if (QWidget* bar = panel_widget(panel::status_bar)) {
    bar->move(places->status_bar);
    bar->show();
  }
  if (rename_popup_.is_shown())
    place_rename_popup();
  const QScrollBar* bar = list_->verticalScrollBar();
  const auto [name, size] =
      photo_column_widths(places->field_width, bar->isVisibleTo(list_) ? bar->width() : 0);
  list_->set_column_width(0, name);
  list_->set_column_width(1, size);
  update_send_enabled();
}

void addphotos_page::update_send_enabled() {
  send_->setEnabled(
      send_allowed(from_edit_->text(), to_edit_->text(), current_package().photo_count()));
}

addphotos_form addphotos_page::form() const {
  return {to_edit_->text(), from_edit_->text(), subject_edit_->text(), message_edit_->toPlainText(),
          checkbox_->isChecked()};
}

void addphotos_page::on_send() {
  // Enter in a field reaches here while the button is disabled: the rule is
  // tested again.
  const addphotos_form typed = form();
  if (!send_allowed(typed.from, typed.to, current_package().photo_count()))
    return;
  controller& hub = *application::instance()->controller();
  hub.notify_commit_updates();
  hub.notify_send_window_opened();
}

void addphotos_page::on_commit_updates() {
  core::log::write(core::log::severity::debug, std::string("addphotos_page::on_commit_updates"));
  commit_form(form(), *user::instance(), current_package());
}

void addphotos_page::on_upload_succeeded() {
  to_edit_->clear();
  subject_edit_->clear();
  message_edit_->clear();
  package_info& package = current_package();
  package.reset();
  package.counter = next_package_counter(package.counter);
}

void addphotos_page::on_sender_changed(const std::string& address) {
  from_edit_->setText(QString::fromStdString(address));
}

void addphotos_page::on_message_changed() {
  counter_->setText(make_remaining_text(static_cast<int>(message_edit_->toPlainText().size())));
}

void addphotos_page::on_list_notify(const basic_list_notification& record) {
  if (record.code == notify_delete_key) {
    list_->remove_selected();
  } else if (record.code == notify_right_click && record.row != -1 && record.column != -1) {
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    set_control_id(*remove, 126);
    connect(remove, &QAction::triggered, this, [this] { list_->remove_selected(); });
    menu.exec(QCursor::pos());
  }
}

void addphotos_page::toggle_rename_popup() {
  if (addphotos_rename_popup* const opened = rename_popup_.toggle(
          user::instance()->get_package(), application::instance()->settings()->params, this)) {
    place_rename_popup();
    opened->raise();
    opened->show();
  }
}

void addphotos_page::place_rename_popup() {
  const auto* action = dynamic_cast<const addphotos_panel_alt*>(panel_widget(panel::action));
  if (!rename_popup_ || !action)
    return;
  const QWidget& link = action->rename_link();
  const QPoint under = link.mapTo(this, QPoint(0, link.height() + 1));
  const QSize size = rename_popup_->preferred_size();
  rename_popup_->setGeometry(
      QRect(QPoint(rename_popup_x(under.x(), size.width(), width()), under.y()), size));
}

void addphotos_page::on_add_files() {
  if (!dialogs_)
    dialogs_ = make_file_dialogs();
  add_paths(dialogs_->open_files(this, make_dialog_filters(), all_pictures_filter_index));
}

void addphotos_page::on_add_folder() {
  if (!dialogs_)
    dialogs_ = make_file_dialogs();
  add_paths(dialogs_->open_folders(this, localized("add_folder_dlg_header")));
}

void addphotos_page::add_paths(const QStringList& paths) {
  std::vector<std::string> list;
  list.reserve(static_cast<std::size_t>(paths.size()));
  for (const QString& path : paths)
    list.push_back(path.toStdString());
  add_paths(list);
}

void addphotos_page::add_paths(const std::vector<std::string>& paths) {
  if (!paths.empty())
    current_package().add_paths(paths);
}

void addphotos_page::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor face(0xED, 0xED, 0xED);
  gradient_fill_rect(painter, rect(), face, face);
}

void addphotos_page::resizeEvent(QResizeEvent*) {
  layout();
}

void addphotos_page::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls())
    event->acceptProposedAction();
}

void addphotos_page::dropEvent(QDropEvent* event) {
  // Nothing may leave an event handler: a drop that fails adds nothing.
  try {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
      if (std::optional<std::string> path = dropped_path(url))
        paths.push_back(std::move(*path));
    }
    add_paths(paths);
    event->acceptProposedAction();
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::debug, "Cannot add the dropped files: %s",
                     std::string(e.what()));
  }
}

}  // namespace parvel
