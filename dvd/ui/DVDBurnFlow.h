#pragma once

#include "export/ui/ConvertProgressFlow.h"
#include "Platform/Foundation/HLAtomicProperty.h"

#include <QString>

#include <atomic>
#include <memory>

class BurnDVDWorkflow;
class DVDBurn;
class DVDBurnQuestionDialogs;
class Trevanel;

// A burned disc under the progress window: the DVD-Video folder (half the bar), its image
// (0.05) and the burn (0.45) in a temporary folder of the flow's own, on the burner it was
// given (its own handle, so a drive change in the DVD tab meanwhile does not touch it); then,
// for each further copy asked for, the copy question and another burn of the same image.
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
    QString imagePath() const { return m_imagePath.get(); }

    bool run(HLJobState &state) override;
    double progress() const override;
    void cancel() override;
    bool isBurning() const override { return m_isBurnningDVD; }
    void finish(ConvertProgressWindowController &window, const HLJobState &state) override;

private:
    bool p_stage(HLJobState &state, double weight, const std::function<bool()> &stage);
    void p_burnCopies(HLJobState &state, const QString &iso);

    std::shared_ptr<Trevanel> m_dvd;
    std::shared_ptr<DVDBurn> m_burner;
    QString m_name;
    std::shared_ptr<DVDBurnQuestionDialogs> m_questions;
    int m_burnDVDTimes = 0;
    HLAtomicProperty<std::shared_ptr<BurnDVDWorkflow>> m_workflow;
    HLAtomicProperty<QString> m_imagePath;
    std::atomic<double> m_progressFinished{0};
    std::atomic<double> m_currentWeight{0};
    std::atomic<bool> m_isBurnningDVD{false};
};
