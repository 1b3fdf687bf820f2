// The orders a soldier gets from the envelopes and the squad orders: go to a point, hold, and take
// an object. An order overrides what the soldier's own rules had it do.
#include "actors/actor.h"
#include "ai/soldier/ai_actions.h"
#include "ai/soldier/ai_interface.h"
#include "ai/envelopes/envelope.h"
#include "ai/soldier/path_follower.h"
#include "ai/rules/rules.h"

namespace {

// The rules that take a soldier to its fixed weapon or after the player.
const char* const kOrderOverriddenRules[] = {"moveto_fixed_weapon", "follow_player"};
const char kTakeObjectRule[] = "moveto_take_object";

// Enabling and disabling a rule act on the current rule set: the soldier's own for the moment.
class RuleSetScope {
public:
    explicit RuleSetScope(RuleSet* set) : m_previous(CurrentRuleSet()) { SetCurrentRuleSet(set); }
    ~RuleSetScope() { SetCurrentRuleSet(m_previous); }
    RuleSetScope(const RuleSetScope&) = delete;
    RuleSetScope& operator=(const RuleSetScope&) = delete;

private:
    RuleSet* m_previous;
};

}  // namespace

void AIInterface::DisableOrderRules()
{
    if (!ruleSet)
        return;
    RuleSetScope scope(ruleSet);
    for (const char* name : kOrderOverriddenRules) {
        if (Rule* rule = ruleSet->rules.Find(name))
            rule->Disable(true);
    }
}

void AIInterface::MoveToObject(const Vector3& point)
{
    DisableOrderRules();
    LetGoOfFixedWeapon();
    if (!body)
        return;
    body->LeaveVehicle();
    MoveBodyTo(point);
    moveToObjectPending = 1;
    AIShowRadioSubtitle(body, "messages._gm_move_start");
    if (body->envelope)
        body->envelope->msalNotifyPending = 0;
}

void AIInterface::HoldOrder()
{
    DisableOrderRules();
    Hold(nullptr);
    LetGoOfFixedWeapon();
    if (body)
        body->LeaveVehicle();
}

void AIInterface::TakeObjectOrder(DynamicObject* object)
{
    takeObject = object;
    if (!takeObject || !body)
        return;
    MoveBodyTo(takeObject->GetPosition());
    if (body == PlayerActor())
        return;
    if (ruleSet) {
        RuleSetScope scope(ruleSet);
        if (Rule* rule = ruleSet->rules.Find(kTakeObjectRule))
            rule->Enable(nullptr);
    }
    AIShowRadioSubtitle(body, "messages._gm_follow_player");
}
