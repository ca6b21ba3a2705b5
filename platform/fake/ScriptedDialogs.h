#pragma once
// User dialogs for tests: nothing is shown; every question is recorded and answered from a
// queue the test fills (an empty queue cancels), and the busy pointer counts its uses.
#include "platform/UserDialogs.h"

#include <QQueue>
#include <QStringList>

namespace platform {

class ScriptedDialogs : public UserDialogs {
public:
    struct Asked {
        QString kind; // "input", "save", "open", "choice"
        QString title;
        QString text; // the prompt, the file name proposed or the question
        QString folder;
        QString filter;
    };

    // Answers in the order asked: an input box takes a text (nothing: cancelled), a file
    // dialog a path (empty: cancelled).
    void queueInput(std::optional<QString> answer) { m_inputs.enqueue(std::move(answer)); }
    void queueFile(const QString& path) { m_files.enqueue(path); }
    void queueChoice(SaveChoice choice) { m_choices.enqueue(choice); }

    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override {
        asked.append({QStringLiteral("input"), title, prompt, defaultText, {}});
        return m_inputs.isEmpty() ? std::nullopt : m_inputs.dequeue();
    }
    QString saveFileName(const QString& title, const QString& folder, const QString& fileName,
                         const QString& filter, const QString&) override {
        asked.append({QStringLiteral("save"), title, fileName, folder, filter});
        return m_files.isEmpty() ? QString() : m_files.dequeue();
    }
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override {
        asked.append({QStringLiteral("open"), title, {}, folder, filter});
        return m_files.isEmpty() ? QString() : m_files.dequeue();
    }
    SaveChoice askSaveDiscardCancel(const QString& text, const QString& title) override {
        asked.append({QStringLiteral("choice"), title, text, {}, {}});
        return m_choices.isEmpty() ? SaveChoice::Cancel : m_choices.dequeue();
    }

    std::optional<Colour> chooseColour(Colour current, const QString& title) override {
        asked.append({QStringLiteral("colour"), title, QString::number(current), {}, {}});
        return m_colours.isEmpty() ? std::nullopt : m_colours.dequeue();
    }
    bool openInEditor(const QString& path) override {
        edited.append(path);
        return true;
    }
    // A colour dialog's answer (nothing: cancelled, or it could not be shown).
    void queueColour(std::optional<Colour> colour) { m_colours.enqueue(colour); }

    QList<Asked> asked;
    QStringList edited; // files opened in the editor

private:
    QQueue<std::optional<Colour>> m_colours;
    QQueue<std::optional<QString>> m_inputs;
    QQueue<QString> m_files;
    QQueue<SaveChoice> m_choices;
};

class CountingBusyPointer : public BusyPointer {
public:
    void begin() override {
        ++uses;
        ++depth;
    }
    void end() override { --depth; }
    int uses = 0;
    int depth = 0; // shown while above 0
};

} // namespace platform
