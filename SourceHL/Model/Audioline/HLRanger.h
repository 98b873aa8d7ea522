#pragma once

// A range of play time in seconds, as the audio export hands it around.
class HLRanger
{
public:
    float dMin() const { return m_dMin; }
    void setDMin(float value) { m_dMin = value; }
    float dMax() const { return m_dMax; }
    void setDMax(float value) { m_dMax = value; }

private:
    float m_dMin = 0;
    float m_dMax = 0;
};
