#pragma once

#include "export/ui/ConvertProgressFlow.h"
#include "Platform/Foundation/HLAtomicProperty.h"

#include <QString>

#include <memory>

class DVDBurn;
class DVDBurnQuestionDialogs;
class DVDOutputJob;
class Trevanel;

// Burned discs under the progress window, in its job (the disc output: folder, image, then a
// burn per disc), on the burner it was given (its own handle, so a drive change in the DVD
// tab meanwhile does not touch it); before each further copy asked for, the copy question.
// The burn's questions and outcome are alerts over the progress window.
class DVDBurnFlow : public ConvertProgressFlow
{
public:
    DVDBurnFlow(std::shared_ptr<Trevanel> dvd, std::shared_ptr<DVDBurn> burner, QString name,
                std::shared_ptr<DVDBurnQuestionDialogs> questions);
    ~DVDBurnFlow() override;

    // Discs to write; below 2 means one.
    void setBurnDVDTimes(int times) { m_burnDVDTimes = times; }

    // The image being burned, while the flow runs.
    QString imagePath() const;

    bool run(HLJobState &state) override;
    bool isBurning() const override;
    void finish(ConvertProgressWindowController &window, const HLJobState &state) override;

private:
    // Before a further copy: asks for a blank disc, and whether to stop when declined.
    bool p_wantCopy(qint64 size);

    std::shared_ptr<Trevanel> m_dvd;
    std::shared_ptr<DVDBurn> m_burner;
    QString m_name;
    std::shared_ptr<DVDBurnQuestionDialogs> m_questions;
    int m_burnDVDTimes = 0;
    HLAtomicProperty<std::shared_ptr<DVDOutputJob>> m_output;
    int m_alertsBeforeCopy = 0;
};
