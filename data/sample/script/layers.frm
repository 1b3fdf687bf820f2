# The in-game text layers' texts, filled in at mission start (keys ending _0, _1 and _2 by the
# campaign stage): the mission's caption from the map's own texts, a record and a response line.
<caption_0><inc source="$dsmap.caption"></caption_0>
<caption_1><inc source="$dsmap.caption"></caption_1>
<caption_2><inc source="$dsmap.caption"></caption_2>
<record_0>Objective reached.</record_0>
<record_1>Objective reached.</record_1>
<record_2>Objective reached.</record_2>
<response_0>Good work. Move on.</response_0>
<response_1>Good work. Move on.</response_1>
<response_2>Good work. Move on.</response_2>
