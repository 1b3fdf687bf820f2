// GPU time stamps through GL timestamp queries, sample counts through GL_SAMPLES_PASSED queries.
#include "platform/gl/d3d8_device.h"

#include <chrono>

#include "platform/gpu_timer.h"

bool GlDevice::TimerMark(UINT slot)
{
    if (slot >= GPU_TIMER_SLOTS || !m_context)
        return false;
    MakeCurrent();
    if (!m_timerQueriesMade) {
        gl.GenQueries(GPU_TIMER_SLOTS, m_timerQueries);
        m_timerQueriesMade = true;
    }
    gl.QueryCounter(m_timerQueries[slot], GL_TIMESTAMP);
    m_timerMarked[slot] = true;
    return true;
}

bool GlDevice::TimerElapsed(UINT from, UINT to, double* milliseconds)
{
    if (from >= GPU_TIMER_SLOTS || to >= GPU_TIMER_SLOTS || !m_timerMarked[from] || !m_timerMarked[to])
        return false;
    MakeCurrent();
    GLuint64 start = 0, end = 0;
    gl.GetQueryObjectui64v(m_timerQueries[from], GL_QUERY_RESULT, &start);
    gl.GetQueryObjectui64v(m_timerQueries[to], GL_QUERY_RESULT, &end);
    *milliseconds = (static_cast<double>(end) - static_cast<double>(start)) / 1.0e6;
    return true;
}

void GlDevice::Finish()
{
    if (!m_context)
        return;
    MakeCurrent();
    gl.Finish();
}

bool GlDevice::SamplesBegin(UINT slot)
{
    if (slot >= GPU_TIMER_SLOTS || !m_context || m_samplesOpen)
        return false;
    MakeCurrent();
    if (!m_sampleQueriesMade) {
        gl.GenQueries(GPU_TIMER_SLOTS, m_sampleQueries);
        gl.GenQueries(GPU_TIMER_SLOTS, m_shadedQueries);
        m_sampleQueriesMade = true;
        // Fragment-program runs are counted where the driver has pipeline statistics.
        while (gl.GetError() != GL_NO_ERROR) {
        }
        gl.BeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS, m_shadedQueries[0]);
        m_countsShaded = gl.GetError() == GL_NO_ERROR;
        if (m_countsShaded)
            gl.EndQuery(GL_FRAGMENT_SHADER_INVOCATIONS);
    }
    gl.BeginQuery(GL_SAMPLES_PASSED, m_sampleQueries[slot]);
    if (m_countsShaded)
        gl.BeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS, m_shadedQueries[slot]);
    m_samplesOpen = true;
    m_samplesCounted[slot] = false;
    m_samplesSlot = slot;
    return true;
}

void GlDevice::SamplesEnd()
{
    if (!m_samplesOpen)
        return;
    MakeCurrent();
    gl.EndQuery(GL_SAMPLES_PASSED);
    if (m_countsShaded)
        gl.EndQuery(GL_FRAGMENT_SHADER_INVOCATIONS);
    m_samplesOpen = false;
    m_samplesCounted[m_samplesSlot] = true;
}

bool GlDevice::SamplesResult(UINT slot, std::uint64_t* samples, std::uint64_t* shaded)
{
    if (slot >= GPU_TIMER_SLOTS || !m_samplesCounted[slot])
        return false;
    MakeCurrent();
    GLuint64 count = 0;
    gl.GetQueryObjectui64v(m_sampleQueries[slot], GL_QUERY_RESULT, &count);
    *samples = count;
    count = 0;
    if (m_countsShaded)
        gl.GetQueryObjectui64v(m_shadedQueries[slot], GL_QUERY_RESULT, &count);
    *shaded = count;
    return true;
}

bool GpuTimerMark(IDirect3DDevice8* device, UINT slot)
{
    return device && static_cast<GlDevice*>(device)->TimerMark(slot);
}

bool GpuTimerElapsed(IDirect3DDevice8* device, UINT from, UINT to, double* milliseconds)
{
    return device && milliseconds && static_cast<GlDevice*>(device)->TimerElapsed(from, to, milliseconds);
}

void GpuFinish(IDirect3DDevice8* device)
{
    if (device)
        static_cast<GlDevice*>(device)->Finish();
}

bool GpuSamplesBegin(IDirect3DDevice8* device, UINT slot)
{
    return device && static_cast<GlDevice*>(device)->SamplesBegin(slot);
}

void GpuSamplesEnd(IDirect3DDevice8* device)
{
    if (device)
        static_cast<GlDevice*>(device)->SamplesEnd();
}

bool GpuSamplesResult(IDirect3DDevice8* device, UINT slot, std::uint64_t* samples, std::uint64_t* shaded)
{
    return device && samples && shaded && static_cast<GlDevice*>(device)->SamplesResult(slot, samples, shaded);
}

double PlatformSteadyMilliseconds()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
