#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <functional>

// Answers the first modal window of type T that comes up, once, whenever the program gets to
// showing it: tests never guess how long that takes.
template <typename T>
class ModalWatch
{
public:
    explicit ModalWatch(std::function<void(T *)> answer) : m_answer(std::move(answer))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { p_look(); });
        m_timer.start(1);
    }

    bool answered() const { return !m_answer; }

private:
    void p_look()
    {
        auto *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!window || !window->isVisible() || !m_answer)
            return;
        m_timer.stop();
        const auto answer = std::move(m_answer);
        m_answer = nullptr;
        answer(window);
    }

    std::function<void(T *)> m_answer;
    QTimer m_timer;
};
