// RD-1 Raider hull: slots are numbered from 0 in the order of their SLOT lines
MESH = models/raider.3ds
COCKPIT = models/raider_cockpit.3ds
SHORTNAME=RD-1 Raider
PILOT = 0, 2.3, 0.9
MASS = 3000
RMASS = 3600, 3000, 4200
SLOT = J, 0, -4.4, 0.1, 0, 1, 0, 0, 0, -1  // 0
ITEM = items/jet_light.sid
SLOT = Ri, 0, 0, 0, 0, 1, 0, 0, 0, -1  // 1
ITEM = items/rotator_light.sid
SLOT = Xi, 0, -1.5, 0, 0, 1, 0, 0, 0, -1  // 2
ITEM = items/reactor_small.sid
SLOT = Xi, 0, -2.5, 0, 0, 1, 0, 0, 0, -1  // 3
SLOT = G, 0.55, 2.6, -0.25, 0, 1, 0, 0, 0, -1  // 4
SLOT = G, -0.55, 2.6, -0.25, 0, 1, 0, 0, 0, -1  // 5
SLOT = M, 2.4, -1.2, -0.12, 0, 1, 0, 0, 0, -1  // 6
SLOT = M, -2.4, -1.2, -0.12, 0, 1, 0, 0, 0, -1  // 7
SLOT = Xi, 0.3, -1, 0, 0, 1, 0, 0, 0, -1  // 8
SLOT = Xi, -0.3, -1, 0, 0, 1, 0, 0, 0, -1  // 9
// Nothing after this line is read.
EXPLOSION_SOUND = sounds/explosion.wav
