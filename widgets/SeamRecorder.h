// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <optional>
#include <type_traits>
#include <utility>

// What stands in for the user at a dialog or an outside program while a test runs (the message
// box, the file chooser, the browser, the report's period): while a recorder lives, the seam
// `Seam` shows nothing, keeps what it was asked (an `Asked`) and answers with the next queued
// `Answer`, or as the seam says it answers when none is queued (a seam whose answers are set
// otherwise has no `Answer`). Recorders nest: the newest one records until it goes, then the one
// before it again.
//
//     FileDialog::Recorder files;
//     files.answer(path);                 // the next chooser picks `path`
//     ... the code under test asks ...
//     QCOMPARE(files.asked().size(), 1);  // what the chooser was asked
template <typename Seam, typename Asked, typename Answer = void>
class SeamRecorder
{
    // What is queued: the answer, or nothing for a seam without answers.
    using Queued = std::conditional_t<std::is_void_v<Answer>, bool, Answer>;

public:
    SeamRecorder() : m_previous(current()) { current() = this; }
    ~SeamRecorder() { current() = m_previous; }
    SeamRecorder(const SeamRecorder &) = delete;
    SeamRecorder &operator=(const SeamRecorder &) = delete;

    // Queues the answer to the next ask; the arguments make one `Answer`.
    template <typename... Parts, typename A = Answer, typename = std::enable_if_t<!std::is_void_v<A>>>
    void answer(Parts &&...parts)
    {
        m_answers.append(Answer{std::forward<Parts>(parts)...});
    }
    // What the seam was asked, oldest first.
    const QList<Asked> &asked() const { return m_asked; }
    void clear() { m_asked.clear(); }

    // For the seam: the recorder that is in place, or null when the real thing is to be done.
    static SeamRecorder *active() { return current(); }
    // For the seam: keeps `asked` and takes the next queued answer, if there is one.
    std::optional<Queued> record(Asked asked)
    {
        m_asked.append(std::move(asked));
        if (m_answers.isEmpty())
            return std::nullopt;
        return m_answers.takeFirst();
    }

private:
    // One slot for each seam (the libraries are static, so one in the program).
    static SeamRecorder *&current()
    {
        static SeamRecorder *recorder = nullptr;
        return recorder;
    }

    QList<Asked> m_asked;
    QList<Queued> m_answers;
    SeamRecorder *m_previous;
};
