#include "plugins/ptk/particle_runtime.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "plugins/ptk/controllers.h"
#include "plugins/ptk/emitter_def.h"
#include "plugins/ptk/host_binding.h"

namespace ptk {

RunningLists g_running;

namespace {
constexpr float kTwoPi = 6.282f;  // the shapes' angle range
constexpr float kFullTurn = 6.2831855f;

// The frame's seconds, kept for the whole step.
float g_frameSeconds = 0.0f;

// The atlas grid's side: below 1 one cell, above the limit the limit (a definition made in code may
// skip the reader's bound).
std::int32_t GridSide(const EmitterDef& def)
{
    if (def.texScale < 1)
        return 1;
    return def.texScale > kTexScaleLimit ? kTexScaleLimit : def.texScale;
}

std::int32_t Truncate(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483520.0f)
        return 2147483520;
    if (value <= -2147483520.0f)
        return -2147483520;
    return static_cast<std::int32_t>(value);
}

std::uint32_t LowByte(float component)
{
    return static_cast<std::uint32_t>(Truncate(component * 255.0f)) & 0xFFu;
}

void TransformPoint(const float v[3], const float m[16], float out[3])
{
    float r[3];
    for (int j = 0; j < 3; ++j)
        r[j] = v[0] * m[j] + v[1] * m[4 + j] + v[2] * m[8 + j] + m[12 + j];
    std::memcpy(out, r, sizeof r);
}

void TransformDirection(const float v[3], const float m[16], float out[3])
{
    float r[3];
    for (int j = 0; j < 3; ++j)
        r[j] = v[0] * m[j] + v[1] * m[4 + j] + v[2] * m[8 + j];
    std::memcpy(out, r, sizeof r);
}

void Normalise(float v[3])
{
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0.0f) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

// The matrix's rows as the host's axes (9 floats) and position (3 floats), and back.
void SplitMatrix(const float m[16], float axes[9], float position[3])
{
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            axes[r * 3 + c] = m[r * 4 + c];
        position[r] = m[12 + r];
    }
}

void JoinMatrix(const float axes[9], const float position[3], float m[16])
{
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            m[r * 4 + c] = axes[r * 3 + c];
        m[r * 4 + 3] = 0.0f;
        m[12 + r] = position[r];
    }
    m[15] = 1.0f;
}

void FetchPinTransform(Link& link)
{
    if (link.pin == -1 || !g_runtime.pinGetTransform)
        return;
    // A removed pin leaves the outputs as they are: the link keeps its last transform.
    float axes[9];
    float position[3];
    SplitMatrix(link.matrix, axes, position);
    g_runtime.pinGetTransform(link.pin, axes, position);
    JoinMatrix(axes, position, link.matrix);
}

void ApplyMatrix(Link& link)
{
    if (link.followsWeapon && g_runtime.weaponTransform) {
        float axes[9];
        float position[3];
        SplitMatrix(link.matrix, axes, position);
        g_runtime.weaponTransform(axes, position);
        JoinMatrix(axes, position, link.matrix);
    }
    for (RunningEmitter& emitter : link.group->emitters) {
        TransformPoint(emitter.offset, link.matrix, emitter.pos);
        TransformDirection(emitter.baseDir, link.matrix, emitter.baseDir);
        Normalise(emitter.baseDir);
    }
}

// The value of a per-particle controller at the particle's age into the definition's variable;
// false when the parameter is per emitter or has no controller.
bool EvaluatePerParticle(const EmitterDef& def, ParticleParameter parameter, std::int32_t age)
{
    Controller* controller = def.perParticle[parameter];
    if (def.perEmitter[parameter] != 0 || !controller)
        return false;
    controller->Evaluate(static_cast<float>(age) * 0.01f);
    return true;
}

void ShapePosition(const EmitterDef& def, const float p[3], float out[3])
{
    switch (def.shape) {
        case 1: {
            const float a = RandomUniform(0.0f, kTwoPi);
            out[0] = p[0] + def.radius * std::cos(a);
            out[1] = p[1];
            out[2] = p[2] + def.radius * std::sin(a);
            return;
        }
        case 2: {
            const float a = RandomUniform(0.0f, kTwoPi);
            const float r = RandomUniform(0.0f, def.radius);
            out[0] = p[0] + r * std::cos(a);
            out[1] = p[1];
            out[2] = p[2] + r * std::sin(a);
            return;
        }
        case 3: {
            const float x = RandomUniform(p[0] - def.width / 2, p[0] + def.width / 2);
            const float z = RandomUniform(p[2] - def.height / 2, p[2] + def.height / 2);
            out[0] = x;
            out[1] = p[1];
            out[2] = z;
            return;
        }
        case 4:
            for (int c = 0; c < 3; ++c)
                out[c] = RandomUniform(p[c] - def.length / 2, p[c] + def.length / 2);
            return;
        case 5:
        case 6: {
            const float a = RandomUniform(0.0f, kTwoPi);
            const float b = RandomUniform(0.0f, kTwoPi);
            const float r = def.shape == 5 ? RandomUniform(0.0f, def.radius) : def.radius;
            out[0] = p[0] + r * std::cos(b) * std::cos(a);
            out[1] = p[1] + r * std::sin(b);
            out[2] = p[2] + r * std::cos(b) * std::sin(a);
            return;
        }
        default:
            std::memcpy(out, p, 3 * sizeof(float));
            return;
    }
}

void UpdateLook(const RunningEmitter& emitter, Particle& particle)
{
    const EmitterDef& def = *emitter.def;
    EvaluatePerParticle(def, PARAM_COLOR, particle.age);
    std::memcpy(particle.rgb, def.rgb, sizeof particle.rgb);
    EvaluatePerParticle(def, PARAM_ALPHA, particle.age);
    particle.alpha = def.a;
}

void UpdateSpeed(const RunningEmitter& emitter, Particle& particle)
{
    const EmitterDef& def = *emitter.def;
    EvaluatePerParticle(def, PARAM_VELOCITY, particle.age);
    particle.speed = def.vel + particle.speedOffset;
}

void Spawn(RunningEmitter& emitter)
{
    const EmitterDef& def = *emitter.def;
    Particle particle;
    std::memset(&particle, 0, sizeof particle);
    particle.kind = def.ptkType;
    particle.lifetime = 10000;
    particle.frame = -1;
    particle.rgb[0] = particle.rgb[1] = particle.rgb[2] = 1.0f;
    particle.alpha = 1.0f;
    particle.angle = RandomUniform(0.0f, kFullTurn);
    const float lifeSpread = RandomUniform(-def.rLife, def.rLife);
    const float speedSpread = RandomUniform(-def.rVel, def.rVel);
    ShapePosition(def, emitter.pos, particle.pos);
    const float* direction = def.ptkType <= 4 ? emitter.baseDir : def.dir;
    if (direction[0] == 0.0f && direction[1] == 0.0f && direction[2] == 0.0f) {
        for (int c = 0; c < 3; ++c)
            particle.dir[c] = RandomUniform(-1.0f, 1.0f);
    } else {
        std::memcpy(particle.dir, direction, sizeof particle.dir);
    }
    particle.lifetime = Truncate(def.ptkLife) + Truncate(lifeSpread);
    if (def.ptkType != 7)
        particle.size = RandomUniform(def.minSiz, def.maxSiz);
    UpdateLook(emitter, particle);
    particle.speedOffset = speedSpread;
    UpdateSpeed(emitter, particle);
    if (def.ptkType == 4) {
        ++emitter.spawnCount;
        // A grid below 1 by 1 counts as one cell; no texture count cycles over one texture.
        const std::int32_t grid = GridSide(def);
        std::int32_t cycle = grid == 1 ? def.texture : grid * grid;
        if (cycle < 1)
            cycle = 1;
        particle.frame = emitter.spawnCount % cycle;
        particle.cell = 1.0f / static_cast<float>(grid);
    }
    emitter.particles.push_back(particle);
}

void UpdateParticle(const RunningEmitter& emitter, Particle& particle)
{
    const EmitterDef& def = *emitter.def;
    const float s = g_frameSeconds;
    if (EvaluatePerParticle(def, PARAM_DIR, particle.age)) {
        if (emitter.hasRotation)
            TransformDirection(def.dir, emitter.rotation, particle.dir);
        else
            std::memcpy(particle.dir, def.dir, sizeof particle.dir);
    }
    UpdateSpeed(emitter, particle);
    particle.dir[1] -= s * def.grav;
    for (int c = 0; c < 3; ++c)
        particle.pos[c] += s * particle.speed * particle.dir[c];
    EvaluatePerParticle(def, PARAM_ROTATION, particle.age);
    particle.angle += def.rotationSign * s * def.rot;
    UpdateLook(emitter, particle);
    const std::int32_t step = Truncate(s * 1000.0f);
    particle.age = particle.age + step > particle.lifetime ? particle.lifetime : particle.age + step;
    if (particle.kind == 3)
        particle.pos[1] = 0.0f;
}

void EmitterStep(RunningEmitter& emitter)
{
    if (emitter.state != 1)
        return;
    const EmitterDef& def = *emitter.def;
    const std::uint32_t now = TickNow();
    const std::int64_t lifetime = Truncate(def.lifetime);
    const std::int64_t elapsed = static_cast<std::int32_t>(now - emitter.startTick);
    if (elapsed > lifetime && def.loop == 1) {
        emitter.state = 1;
        emitter.startTick = now;
        std::memcpy(emitter.prevPos, emitter.pos, sizeof emitter.pos);
        emitter.lastEmission = 0;
    } else if (static_cast<std::int64_t>(Truncate(def.freq)) + emitter.lastEmission < now && elapsed < lifetime) {
        emitter.lastEmission = now;
        // A controller may drive Quant past what the file was allowed.
        const std::int32_t wanted = Truncate(def.quant);
        const std::int32_t quant = wanted > kQuantLimit ? kQuantLimit : wanted;
        for (std::int32_t i = 0; i < quant; ++i)
            Spawn(emitter);
    }
    auto& particles = emitter.particles;
    particles.erase(
        std::remove_if(particles.begin(), particles.end(), [](const Particle& p) { return p.age >= p.lifetime; }),
        particles.end());
    for (Particle& particle : particles)
        UpdateParticle(emitter, particle);
    const std::int64_t since = static_cast<std::int32_t>(now - emitter.startTick);
    if (particles.empty() && since > lifetime)
        emitter.state = 2;
}

void FillInfo(const RunningEmitter& emitter, Particle& particle)
{
    const EmitterDef& def = *emitter.def;
    EvaluatePerParticle(def, PARAM_SCALE, particle.age);
    if (particle.kind == 7) {
        ParticleMeshInfo& mesh = particle.mesh;
        mesh.kind = 7;
        mesh.environmentColour = def.colorbyenv != 0 ? 1 : 0;
        // Scale, then the turn about the axis through (1, 1, 1), then the place (row vectors).
        const float k = 0.57735026f;
        const float c = std::cos(particle.angle);
        const float s = std::sin(particle.angle);
        const float t = 1.0f - c;
        const float turn[9] = {t * k * k + c,     t * k * k + s * k, t * k * k - s * k,
                               t * k * k - s * k, t * k * k + c,     t * k * k + s * k,
                               t * k * k + s * k, t * k * k - s * k, t * k * k + c};
        for (int r = 0; r < 3; ++r) {
            for (int col = 0; col < 3; ++col)
                mesh.matrix[r * 4 + col] = def.scale * turn[r * 3 + col];
            mesh.matrix[r * 4 + 3] = 0.0f;
            mesh.matrix[12 + r] = particle.pos[r];
        }
        mesh.matrix[15] = 1.0f;
        mesh.animIndex = static_cast<std::uint32_t>(def.meshHandle);
        return;
    }
    ParticleInfo& info = particle.info;
    info.kind = static_cast<std::uint32_t>(particle.kind);
    info.environmentColour = def.colorbyenv != 0 ? 1 : 0;
    std::memcpy(info.position, particle.pos, sizeof info.position);
    info.halfSize = def.scale * particle.size * 0.5f;
    std::int32_t textureIndex = def.texture;
    if (particle.kind == 4) {
        const std::int32_t grid = GridSide(def);
        if (grid == 1) {
            textureIndex = particle.frame;
            info.rect[0] = 0.0f;
            info.rect[1] = 1.0f;
            info.rect[2] = 0.0f;
            info.rect[3] = 1.0f;
        } else {
            const float cell = particle.cell;
            const std::int32_t column = particle.frame % grid;
            const std::int32_t row = particle.frame / grid;
            info.rect[0] = static_cast<float>(column) * cell;
            info.rect[1] = static_cast<float>(column + 1) * cell;
            info.rect[2] = static_cast<float>(grid - row) * cell - cell;
            info.rect[3] = static_cast<float>(grid - row) * cell;
        }
    }
    if (particle.kind == 2 || particle.kind == 5 || particle.kind == 6)
        std::memcpy(info.vector, particle.dir, sizeof info.vector);
    std::memcpy(&info.value, &particle.angle, sizeof info.value);
    info.textureIndex = static_cast<std::uint32_t>(def.TextureHandle(textureIndex));
    info.alphaTest = def.alphatest != 0 ? 1 : 0;
    info.colour = LowByte(particle.alpha) << 24 | LowByte(particle.rgb[0]) << 16 | LowByte(particle.rgb[1]) << 8 |
                  LowByte(particle.rgb[2]);
    info.sourceBlend = SourceBlend(def.srcblend);
    info.destinationBlend = DestinationBlend(def.destblend);
}

bool Finished(const RunningInstance& instance)
{
    for (std::int32_t l = 0; l < instance.links.Count(); ++l) {
        for (const RunningEmitter& emitter : instance.links.At(l)->group->emitters) {
            if (emitter.state != 2)
                return false;
        }
    }
    return true;
}

void RemoveRunning(std::int32_t index)
{
    RunningInstance* instance = g_running.instances->Detach(index);
    EndInstance(instance);
    g_running.ages->RemoveAt(index);
    g_running.placements->RemoveAt(index);
}

void StepInstance(RunningInstance& instance, std::int32_t age, const Placement& placement, std::int32_t ms)
{
    for (std::int32_t l = 0; l < instance.links.Count(); ++l) {
        Link& link = *instance.links.At(l);
        if (link.delay > age)
            continue;
        for (RunningEmitter& emitter : link.group->emitters) {
            if (emitter.state == 0 && static_cast<std::int64_t>(link.delay) + emitter.delay <= age) {
                emitter.state = 1;
                emitter.startTick = TickNow();
                std::memcpy(emitter.prevPos, emitter.pos, sizeof emitter.pos);
            }
        }
    }
    for (std::int32_t l = 0; l < instance.links.Count(); ++l)
        std::memcpy(instance.links.At(l)->pos, placement.pos, sizeof placement.pos);
    for (std::int32_t l = 0; l < instance.links.Count(); ++l) {
        Link& link = *instance.links.At(l);
        for (RunningEmitter& emitter : link.group->emitters) {
            if (emitter.state == 0)
                continue;
            EmitterDef& def = *emitter.def;
            std::int32_t t = age - link.delay;
            if (t < 0)
                t = 0;
            std::int32_t curveTime = t / 100;
            if (def.loop) {
                const std::int32_t lifetime = Truncate(def.lifetime);
                curveTime = t < 1 || lifetime <= 0 ? 0 : (t % lifetime) / 100;
            }
            def.Evaluate(static_cast<float>(curveTime));
            std::memcpy(emitter.baseDir, def.dir, sizeof emitter.baseDir);
        }
    }
    for (std::int32_t l = 0; l < instance.links.Count(); ++l) {
        Link& link = *instance.links.At(l);
        if (link.pinned) {
            FetchPinTransform(link);
            ApplyMatrix(link);
            continue;
        }
        for (RunningEmitter& emitter : link.group->emitters) {
            if (emitter.def->perEmitter[PARAM_DIR] == 1)
                TransformDirection(emitter.baseDir, link.matrix, emitter.baseDir);
        }
        if (link.pos[0] != link.lastPlacement[0] || link.pos[1] != link.lastPlacement[1] ||
            link.pos[2] != link.lastPlacement[2]) {
            for (RunningEmitter& emitter : link.group->emitters) {
                for (int c = 0; c < 3; ++c)
                    emitter.pos[c] = link.pos[c] + emitter.offset[c];
            }
            std::memcpy(link.lastPlacement, link.pos, sizeof link.pos);
        }
        if (link.followsWeapon)
            ApplyMatrix(link);
    }
    for (std::int32_t l = 0; l < instance.links.Count(); ++l) {
        for (RunningEmitter& emitter : instance.links.At(l)->group->emitters)
            EmitterStep(emitter);
    }
    for (std::int32_t l = 0; l < instance.links.Count(); ++l) {
        for (RunningEmitter& emitter : instance.links.At(l)->group->emitters) {
            if (emitter.def->transform != 1)
                continue;
            float moved[3];
            for (int c = 0; c < 3; ++c)
                moved[c] = emitter.pos[c] - emitter.prevPos[c];
            for (Particle& particle : emitter.particles) {
                for (int c = 0; c < 3; ++c)
                    particle.pos[c] += moved[c];
            }
            std::memcpy(emitter.prevPos, emitter.pos, sizeof emitter.pos);
        }
    }
    if (g_runtime.addParticleInfo) {
        for (std::int32_t l = 0; l < instance.links.Count(); ++l) {
            for (RunningEmitter& emitter : instance.links.At(l)->group->emitters) {
                for (Particle& particle : emitter.particles) {
                    FillInfo(emitter, particle);
                    g_runtime.addParticleInfo(&particle.info);
                }
            }
        }
    }
    (void)ms;
}
}  // namespace

void EndInstance(RunningInstance* instance)
{
    if (!instance)
        return;
    for (std::int32_t l = 0; l < instance->links.Count(); ++l) {
        Link& link = *instance->links.At(l);
        if (link.pin != -1 && g_runtime.unregisterPin)
            g_runtime.unregisterPin(link.pin);
        link.pin = -1;
    }
    delete instance;
}

void RunningCreate()
{
    RunningDelete();
    g_running.instances = new OwnedPtrList<RunningInstance>(100);
    g_running.ages = new OwnedPtrList<std::int32_t>(100);
    g_running.placements = new OwnedPtrList<Placement>(100);
}

void RunningDelete()
{
    if (g_running.instances) {
        for (std::int32_t i = 0; i < g_running.instances->Count(); ++i)
            EndInstance(g_running.instances->At(i));
        // The instances are gone: the list must not delete them again.
        while (g_running.instances->Count() > 0)
            g_running.instances->Detach(g_running.instances->Count() - 1);
    }
    delete g_running.instances;
    delete g_running.ages;
    delete g_running.placements;
    g_running = {};
}

std::int32_t StartSet(const char* name, StartKind kind, void* object, const float position[3], const float direction[3])
{
    if (!g_running.instances)
        return -1;
    if (kind == StartKind::Object && !object)
        return 0;
    const ParticleSet* set = FindParticleSet(name);
    if (!set)
        return -1;
    RunningInstance* instance = InstantiateSet(*set);
    Placement* placement = new Placement{{0.0f, 0.0f, 0.0f}};
    for (std::int32_t l = 0; l < instance->links.Count(); ++l) {
        Link& link = *instance->links.At(l);
        switch (kind) {
            case StartKind::Object:
                if (link.pinned && g_runtime.registerPinObject) {
                    link.pin = g_runtime.registerPinObject(object, link.node.c_str());
                    FetchPinTransform(link);
                }
                break;
            case StartKind::Position: {
                SpawnRotation(direction[0], direction[1], direction[2], link.matrix);
                for (RunningEmitter& emitter : link.group->emitters) {
                    emitter.hasRotation = true;
                    std::memcpy(emitter.rotation, link.matrix, sizeof emitter.rotation);
                }
                break;
            }
            case StartKind::Weapon:
                link.followsWeapon = true;
                if (link.pinned) {
                    if (g_runtime.conPrint)
                        g_runtime.conPrint(4, "%s", "fsdfa\n");
                    if (g_runtime.registerPinWeapon)
                        link.pin = g_runtime.registerPinWeapon(link.node.c_str());
                    FetchPinTransform(link);
                }
                break;
        }
    }
    if (kind == StartKind::Object)
        instance->object = object;
    if (kind == StartKind::Position)
        std::memcpy(placement->pos, position, sizeof placement->pos);
    // An instance the full list cannot hold releases its pins and goes at once.
    if (g_running.instances->Append(instance) < 0) {
        EndInstance(instance);
        delete placement;
        return -1;
    }
    std::int32_t* age = new std::int32_t(0);
    if (g_running.ages->Append(age) < 0)
        delete age;
    const std::int32_t index = g_running.placements->Append(placement);
    if (index < 0)
        delete placement;
    return index;
}

void StopAll()
{
    if (!g_running.instances)
        return;
    for (std::int32_t i = g_running.instances->Count() - 1; i >= 0; --i)
        RemoveRunning(i);
}

void FrameStep(std::int32_t ms)
{
    if (!g_running.instances)
        return;
    g_frameSeconds = static_cast<float>(ms) * 0.001f;
    const Placement zero = {{0.0f, 0.0f, 0.0f}};
    for (std::int32_t i = 0; i < g_running.instances->Count(); ++i) {
        std::int32_t* age = g_running.ages->At(i);
        const Placement* placement = g_running.placements->At(i);
        StepInstance(*g_running.instances->At(i), age ? *age : 0, placement ? *placement : zero, ms);
        if (age)
            *age += ms;
    }
    for (std::int32_t i = g_running.instances->Count() - 1; i >= 0; --i) {
        if (Finished(*g_running.instances->At(i)))
            RemoveRunning(i);
    }
}

}  // namespace ptk
