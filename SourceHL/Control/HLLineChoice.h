#pragma once

#include <QPointer>
#include <QString>

// The one chosen cell of the text or audio line. The cell shows that it is chosen; the
// line's controller tells its owner when the choice changes.
template <class View>
class HLLineChoice
{
public:
    View *view() const { return m_view; }
    // Null while nothing is chosen.
    QString strID() const { return m_view ? m_view->strID() : QString(); }

    // Makes view the chosen cell; false when it already was.
    bool choose(View *view)
    {
        if (view == m_view)
            return false;
        clear();
        m_view = view;
        view->setBIsChosen(true);
        return true;
    }

    void clear()
    {
        if (m_view)
            m_view->setBIsChosen(false);
        m_view = nullptr;
    }

    // A cell being thrown away leaves the choice.
    void forget(const View *view)
    {
        if (view == m_view)
            m_view = nullptr;
    }

private:
    QPointer<View> m_view;
};
