"""The longest of each kind of status line the game writes, for the tests
that show that none is cut: the level and its name, the count against par
and the best, the win and what comes next, the notices and the hint, a
level being made, the editor's keys and its files, and a copied level code
(or the desktops' line that shares it) at the end of any of them. The page's own notes of the editor's file are
among them."""

CODE = "1" + "AbCdEfGhIjKlMnOpQrStUvWxYz0123456789"  # as long as a level code gets
OWN = "A board of my own with the longest name it keeps"[:47]

STATUS_TEXTS = [
    "Level 7: Moving Periscope   Shots 6, par 6   Best 6   Won in par!   New record!   "
    "press R for the next level   Level code copied: " + CODE,
    "Level 7: Moving Periscope   Shots 6, par 6   Best 6   Won in par!   New record!   "
    "press R for the next level   Copied: tarno --code " + CODE,
    "Level 12: Attic and Cellar   Shots 144, par 12   Best 12   Won!   every level is won   "
    "Level code copied: " + CODE,
    OWN + "   Shots 123, par 16   Won!   press R to play it again   Level code copied: " + CODE,
    "Making a medium level\u2026   Daily 2026-12-07, Periscopes, medium   Shots 123, par 10   Best 10   "
    "The board is lost: no shot can win it. U undoes, R restarts",
    "Level 11: Inner Guard   Shots 13, par 14   Best 14   No way to win from here: U undoes, R restarts",
    "Level 7: Moving Periscope   Shots 5, par 6   Best 6   Hint: fire right along row 10",
    "Code 1AbCdEfG\u2026   Shots 12, par 16   Best 12   Hint: the search ran out of time",
    "Level 7: Moving Periscope   Shots 5, par 6   Best 6   Hint: thinking...",
    "Editor: a right click places an empty cell next   S saves, L loads, P plays, Enter returns   "
    "Level code copied: " + CODE,
    "Editor: a right click places a balloon next   "
    "level.dat could not be kept: the browser refused to store it",
    "Editor: a right click places a deflector next   "
    "level.dat could not be read: the copy the browser kept is not a level file",
    "Editor: a right click places a deflector next   "
    "level.dat could not be saved: /home/player/.local/share/tarno/level.dat: Permission denied",
]
