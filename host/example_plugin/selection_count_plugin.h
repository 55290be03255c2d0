#pragma once

#include <QObject>

#include "plugin_api/plugin.h"
#include "plugin_api/user_dialogs.h"

namespace vane {

// The smallest useful plug-in: says how many recordings are selected. It shows plug-in authors
// the whole path from the host's menu to its selections.
class SelectionCountPlugin : public QObject, public AbstractPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VaneAbstractPlugin_iid)
    Q_INTERFACES(vane::AbstractPlugin)

  public:
    SelectionCountPlugin();  // a message box
    // Whatever shows the count: a test puts a recorder here, as for any plug-in.
    explicit SelectionCountPlugin(UserDialogs dialogs);

    void attach(const Host& host, QWidget* parentWindow) override;
    QString name() const override;
    void fire() override;

    // The text fire() shows.
    Q_INVOKABLE QString message() const;

  private:
    UserDialogs dialogs_;
    const Host* host_ = nullptr;
    QWidget* parentWindow_ = nullptr;
};

}  // namespace vane
