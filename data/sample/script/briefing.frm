# The sample mission's briefing, one text per campaign mode (keys ending _0 for mode 0, _1 for mode 2,
# _2 for the others): the sample has one mission, so the three tell the same. Line ends are dropped,
# not read as blanks, and a blank before a tag goes: a sentence stays on one line, and a tab of 1
# stands for the blank before a value.
<intro_0>
<font color=FFFFD040>Outpost at the crossing</font><br><br>
Enemy riflemen hold the outpost: the gate guard and two more stand in front of the huts, one patrol walks in front of the fence's right end and another in front of the right hut; they see 4 metres. Take the supplies by the road on your left, then keep to the middle of the road and walk to the gate. Go no further, and do not fire: a shot brings them all.<br><br>
<font color=FF90D070>Objectives</font><br>
- <inc source="map_01.objectives.obj0"><br>
- <inc source="map_01.objectives.obj1"><br><br>
You carry:<tab offset=1><var name="gs_curprimaryweapon">.
</intro_0>
<intro_1>
<font color=FFFFD040>Outpost at the crossing</font><br><br>
Enemy riflemen hold the outpost: the gate guard and two more stand in front of the huts, one patrol walks in front of the fence's right end and another in front of the right hut; they see 4 metres. Take the supplies by the road on your left, then keep to the middle of the road and walk to the gate. Go no further, and do not fire: a shot brings them all.<br><br>
<font color=FF90D070>Objectives</font><br>
- <inc source="map_01.objectives.obj0"><br>
- <inc source="map_01.objectives.obj1"><br><br>
You carry:<tab offset=1><var name="gs_curprimaryweapon">.
</intro_1>
<intro_2>
<font color=FFFFD040>Outpost at the crossing</font><br><br>
Enemy riflemen hold the outpost: the gate guard and two more stand in front of the huts, one patrol walks in front of the fence's right end and another in front of the right hut; they see 4 metres. Take the supplies by the road on your left, then keep to the middle of the road and walk to the gate. Go no further, and do not fire: a shot brings them all.<br><br>
<font color=FF90D070>Objectives</font><br>
- <inc source="map_01.objectives.obj0"><br>
- <inc source="map_01.objectives.obj1"><br><br>
You carry:<tab offset=1><var name="gs_curprimaryweapon">.
</intro_2>
