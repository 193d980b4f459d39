# The scripted run of tests/runs/short.zrun (sourced by scripts/rerecord and the recordings test):
# start a run, walk, turn, fire every weapon, pause and resume, lose the focus and come back.
short_run=(--seed 7 --dt 0.01 --frames 1100 --count-only --size 640x480
  --at 0:mouse:320,240 --at 2:click:320,240 --at 250:click:320,240 --at 300:click:320,240
  --at 360:key:E --at 400:down:W --at 500:up:W --at 520:mouse:360,240 --at 560:down:D
  --at 600:up:D --at 620:down:2 --at 621:up:2 --at 630:click:320,240 --at 700:key:ESC
  --at 800:key:ESC --at 820:down:3 --at 821:up:3 --at 900:key:1 --at 950:focus:0
  --at 960:focus:1 --at 1000:key:Escape --at 1040:key:Escape --at 1050:down:A)
