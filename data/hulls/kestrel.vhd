// KS-7 Kestrel hull: slots are numbered from 0 in the order of their SLOT lines
MESH = models/kestrel.3ds
COCKPIT = models/kestrel_cockpit.3ds
SHORTNAME=KS-7 Kestrel
PILOT = 0, 3, 0.98
MASS = 4200
RMASS = 5000, 3500, 6000
SLOT = J, 0, -6, 0, 0, 1, 0, 0, 0, -1  // 0
ITEM = items/jet_light.sid
SLOT = Ri, 0, 0, 0, 0, 1, 0, 0, 0, -1  // 1
ITEM = items/rotator_light.sid
SLOT = Xi, 0, -2, 0, 0, 1, 0, 0, 0, -1  // 2
ITEM = items/reactor_small.sid
SLOT = X, 0, -3.3, 0.62, 0, 1, 0, 0, 0, -1  // 3
SLOT = G, 1.05, 0.1, -0.16, 0, 1, 0, 0, 0, -1  // 4
SLOT = G, -1.05, 0.1, -0.16, 0, 1, 0, 0, 0, -1  // 5
SLOT = M, 2.2, -2.2, -0.24, 0, 1, 0, 0, 0, -1  // 6
SLOT = M, -2.2, -2.2, -0.24, 0, 1, 0, 0, 0, -1  // 7
SLOT = M, 3.6, -3.3, -0.16, 0, 1, 0, 0, 0, -1  // 8
SLOT = M, -3.6, -3.3, -0.16, 0, 1, 0, 0, 0, -1  // 9
SLOT = Xi, 0.4, -1, 0, 0, 1, 0, 0, 0, -1  // 10
SLOT = Xi, -0.4, -1, 0, 0, 1, 0, 0, 0, -1  // 11
// Nothing after this line is read.
EXPLOSION_SOUND = sounds/explosion.wav
