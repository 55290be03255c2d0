#include "farm/project_lock.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <map>

namespace vane::farm {
namespace {

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

std::string stdText(const QJsonValue& value) {
    return value.toString().toStdString();
}

}  // namespace

Outcome<LockedInput> lockedInput(const std::filesystem::path& file) {
    QFile input(QString::fromStdString(file.string()));
    if (!input.open(QIODevice::ReadOnly)) {
        return Problem{.title = "Problem with file",
                       .message = file.string() + ": " + input.errorString().toStdString(),
                       .kind = ProblemKind::unreadable};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&input)) {
        return Problem{.title = "Problem with file",
                       .message = file.string() + ": could not be read to the end",
                       .kind = ProblemKind::unreadable};
    }
    return LockedInput{.path = file.string(),
                       .size = static_cast<std::uintmax_t>(input.size()),
                       .sha256 = hash.result().toHex().toStdString()};
}

std::string lockJson(const ProjectLock& lock) {
    QJsonArray inputs;
    for (const LockedInput& input : lock.inputs) {
        inputs.append(QJsonObject{{"path", qText(input.path)},
                                  {"size", static_cast<qint64>(input.size)},
                                  {"sha256", qText(input.sha256)}});
    }
    QJsonArray turbines;
    for (const LockedTurbine& turbine : lock.turbines) {
        QJsonArray arguments;
        for (const std::string& argument : turbine.arguments) {
            arguments.append(qText(argument));
        }
        turbines.append(QJsonObject{{"name", qText(turbine.name)}, {"options", arguments}});
    }
    const QJsonObject root{{"vane", qText(lock.version)},
                           {"farm", qText(lock.farm)},
                           {"inputs", inputs},
                           {"turbines", turbines}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

std::optional<ProjectLock> parseLock(const std::string& text) {
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text));
    if (!document.isObject() || !document.object().value("inputs").isArray()) {
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    ProjectLock lock{.version = stdText(root.value("vane")), .farm = stdText(root.value("farm"))};
    for (const QJsonValue& value : root.value("inputs").toArray()) {
        const QJsonObject input = value.toObject();
        lock.inputs.push_back(
            LockedInput{.path = stdText(input.value("path")),
                        .size = static_cast<std::uintmax_t>(input.value("size").toInteger()),
                        .sha256 = stdText(input.value("sha256"))});
    }
    for (const QJsonValue& value : root.value("turbines").toArray()) {
        const QJsonObject turbine = value.toObject();
        LockedTurbine locked{.name = stdText(turbine.value("name"))};
        for (const QJsonValue& argument : turbine.value("options").toArray()) {
            locked.arguments.push_back(stdText(argument));
        }
        lock.turbines.push_back(std::move(locked));
    }
    return lock;
}

std::vector<std::string> lockChanges(const ProjectLock& before, const ProjectLock& now) {
    std::vector<std::string> changes;
    if (before.version != now.version) {
        changes.push_back("Vane's version: " + before.version + " then, " + now.version + " now");
    }
    std::map<std::string, const LockedInput*> earlier;
    for (const LockedInput& input : before.inputs) {
        earlier[input.path] = &input;
    }
    for (const LockedInput& input : now.inputs) {
        const auto found = earlier.find(input.path);
        if (found == earlier.end()) {
            changes.push_back("New input: " + input.path);
            continue;
        }
        if (found->second->sha256 != input.sha256) {
            changes.push_back("Changed input: " + input.path + " (" +
                              std::to_string(found->second->size) + " bytes then, " +
                              std::to_string(input.size) + " now; its SHA-256 differs)");
        }
        earlier.erase(found);
    }
    for (const auto& [path, input] : earlier) {
        changes.push_back("No longer an input: " + path);
    }
    std::map<std::string, const LockedTurbine*> turbines;
    for (const LockedTurbine& turbine : before.turbines) {
        turbines[turbine.name] = &turbine;
    }
    for (const LockedTurbine& turbine : now.turbines) {
        const auto found = turbines.find(turbine.name);
        if (found == turbines.end()) {
            changes.push_back("New turbine: " + turbine.name);
        } else if (found->second->arguments != turbine.arguments) {
            changes.push_back("Options changed for turbine " + turbine.name);
        }
    }
    return changes;
}

}  // namespace vane::farm
