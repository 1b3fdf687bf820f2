# The sample mission's briefing, one text per campaign stage (keys ending _0, _1 and _2). Line ends
# are dropped, not read as blanks, and a blank before a tag goes: a sentence stays on one line, and
# a tab of 1 stands for the blank before a value.
<intro_0>
<font color=FFFFD040>Outpost at the crossing</font><br><br>
Enemy patrols walk the fence and circle the huts north of the gate.<tab offset=2>Take the outpost before dawn.<br><br>
<font color=FF90D070>Objectives</font><br>
<inc source="map_01.obj_gate"><br>
<inc source="map_01.obj_huts"><br><br>
The map shows the patrol paths: the ring round the huts, and the fence walk that goes to and fro. Wait for the fence patrol to turn before you cross the open ground, and keep the huts between you and the ring patrol. You carry:<tab offset=1><var name="gs_curprimaryweapon">.
</intro_0>
<intro_1>
<font color=FFFFD040>The outpost again</font><br><br>
They have doubled the patrols.<br><inc source="map_01.obj_gate">
</intro_1>
<intro_2>
<font color=FFFFD040>Last stand at the crossing</font><br><br>
Hold what you took.<br><inc source="map_01.obj_huts">
</intro_2>
