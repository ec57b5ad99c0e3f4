; ks0108_frames_pic18.asm - plays an animation on a KS0108 graphic LCD.
;
; Target : PIC18F452 (any PIC18 with two free 8-bit ports will do)
; Clock  : 20 MHz crystal (HS); the LCD timing and the delays count on
;          200 ns per instruction.
; Build  : gpasm ks0108_frames_pic18.asm        (gputils)
;
; The animation is the Db frame table written by Lumetra ("lumetra-cli
; frames --db -o frames.inc PICTURE PICTURE ..."), kept next to this file
; and included unchanged. Frame 1 is the whole picture; every frame after
; it, and the last one that leads back to frame 1, holds only the runs of
; bytes that change. The program shows frame 1, then each frame in turn,
; each for its delay, and goes round for ever from frame 2.
;
; A frame in the table:
;   delay high, delay low           milliseconds the frame stays
;   runs, each:
;     controller << 4 | page        controller 0 is the left half
;     column                        first column inside that half, 0..63
;     length                        bytes that follow, 1..64
;     the bytes                     written to the columns one after another
;   0xFE (0xFF after the last frame: play on from frame 2)
;   0x00 when needed, so that the next frame starts on a program word

;#define CS_ACTIVE_LOW          ; for modules whose chip selects are /CS1 /CS2

        processor 18f452
        #include <p18f452.inc>
        config  OSC = HS, PWRT = ON, BOR = OFF, WDT = OFF, LVP = OFF
        radix   dec
        errorlevel -302, -1301  ; notes on bank bits: all registers used here
                                ; are in the access bank

; ---- Wiring ----------------------------------------------------------------
; As ks0108_pic18.asm: data on one whole port, control lines on pins of
; another, written as a whole byte (pins 6 and 7 stay low).

DATA_LAT        equ     LATD            ; DB0..DB7 on RD0..RD7
DATA_TRIS       equ     TRISD
CTRL_LAT        equ     LATB
CTRL_TRIS       equ     TRISB
CS1             equ     0               ; RB0: chip select, left half
CS2             equ     1               ; RB1: chip select, right half
RS              equ     2               ; RB2: RS (D/I): 1 = data, 0 = command
RW              equ     3               ; RB3: R/W: 1 = read, held at 0
EN              equ     4               ; RB4: E: the LCD takes a byte as E falls
RST             equ     5               ; RB5: /RST: 0 resets both controllers

#ifdef CS_ACTIVE_LOW
LEFT_CHIP       equ     1 << CS2        ; CS1 low, CS2 high
RIGHT_CHIP      equ     1 << CS1
BOTH_CHIPS      equ     0
#else
LEFT_CHIP       equ     1 << CS1
RIGHT_CHIP      equ     1 << CS2
BOTH_CHIPS      equ     (1 << CS1) | (1 << CS2)
#endif

; ---- Controller commands ---------------------------------------------------
LCD_ON          equ     0x3F            ; display on
START_LINE      equ     0xC0            ; + line shown at the top (0..63)
SET_PAGE        equ     0xB8            ; + page (0..7)
SET_COLUMN      equ     0x40            ; + column (0..63); counts up by itself

; ---- The table's markers ---------------------------------------------------
FRAME_END       equ     0xFE            ; the last run of a frame was before
TABLE_END       equ     0xFF            ; ... and it was the last frame

; ---- Variables, in the access bank -----------------------------------------
        cblock  0x00
        frames_shown                    ; counts up as each frame is complete
        chips                           ; control bits: chip select(s)
        header                          ; controller << 4 | page, or a marker
        count                           ; bytes left in this run
        ms_high, ms_low                 ; the delay still to wait
        loop_upper, loop_high, loop_low ; where frame 2 starts
        delay1, delay2
        endc

; ---- Program ---------------------------------------------------------------
        org     0
        goto    start                   ; reset vector; no interrupts used

start:
        clrf    CTRL_TRIS               ; both ports are outputs
        clrf    DATA_TRIS
        clrf    DATA_LAT
        clrf    CTRL_LAT                ; /RST low: reset the controllers
        rcall   wait_1ms
        movlw   1 << RST
        movwf   CTRL_LAT                ; /RST high, E low
        rcall   wait_1ms                ; the controllers are busy after reset

        movlw   BOTH_CHIPS              ; the same set-up for both halves
        movwf   chips
        movlw   LCD_ON
        rcall   lcd_command
        movlw   START_LINE
        rcall   lcd_command
        clrf    frames_shown

        movlw   upper frames            ; TBLPTR walks through the table
        movwf   TBLPTRU
        movlw   high frames
        movwf   TBLPTRH
        movlw   low frames
        movwf   TBLPTRL
        rcall   play_frame              ; frame 1, the whole picture
        movff   TBLPTRU, loop_upper     ; the round starts again here
        movff   TBLPTRH, loop_high
        movff   TBLPTRL, loop_low
next_frame:
        rcall   play_frame
        incf    header, W               ; W = 0 after TABLE_END
        bnz     next_frame
        movff   loop_upper, TBLPTRU     ; the frame that led back to frame 1
        movff   loop_high, TBLPTRH      ; was the last: on from frame 2
        movff   loop_low, TBLPTRL
        bra     next_frame

; play_frame: writes the runs of the frame at TBLPTR, then waits its delay.
; Leaves TBLPTR at the next frame and the frame's end marker in header.
play_frame:
        tblrd*+
        movff   TABLAT, ms_high
        tblrd*+
        movff   TABLAT, ms_low
next_run:
        tblrd*+
        movff   TABLAT, header
        movlw   FRAME_END
        cpfslt  header                  ; a marker ends the frame
        bra     frame_done
        movlw   LEFT_CHIP               ; controller 0 or 1 in bit 4
        btfsc   header, 4
        movlw   RIGHT_CHIP
        movwf   chips
        movf    header, W
        andlw   7
        iorlw   SET_PAGE
        rcall   lcd_command
        tblrd*+                         ; the first column
        movf    TABLAT, W
        iorlw   SET_COLUMN
        rcall   lcd_command
        tblrd*+                         ; the length
        movff   TABLAT, count
next_byte:
        tblrd*+
        movf    TABLAT, W
        rcall   lcd_data                ; the column moves on by itself
        decfsz  count, F
        bra     next_byte
        bra     next_run

frame_done:
        btfsc   TBLPTRL, 0              ; step over the byte that evens it up
        tblrd*+
        incf    frames_shown, F         ; the frame is on the display
wait_ms:                                ; then it stays ms_high:ms_low ms
        movf    ms_high, W
        iorwf   ms_low, W
        bz      waited
        rcall   wait_1ms
        movlw   1
        subwf   ms_low, F
        movlw   0
        subwfb  ms_high, F
        bra     wait_ms
waited:
        return

; ---- LCD -------------------------------------------------------------------
; lcd_command: sends W as a command to the chip(s) in chips.
; lcd_data:    writes W into display memory of the chip(s) in chips.
lcd_command:
        movwf   DATA_LAT
        movf    chips, W                ; RS = 0
        bra     lcd_strobe
lcd_data:
        movwf   DATA_LAT
        movf    chips, W
        iorlw   1 << RS                 ; RS = 1
lcd_strobe:
        iorlw   1 << RST
        movwf   CTRL_LAT                ; RS, R/W and chip selects settle
        iorlw   1 << EN
        movwf   CTRL_LAT                ; E high ...
        nop
        xorlw   1 << EN
        movwf   CTRL_LAT                ; ... 600 ns; the LCD takes the byte now
        ; The controller is busy for a few microseconds after each byte:
        ; wait about 10 us (16 * 3 cycles of 200 ns).
        movlw   16
        movwf   delay1
lcd_wait:
        decfsz  delay1, F
        bra     lcd_wait
        return

; wait_1ms: 1 ms at 20 MHz with the loop in wait_ms around it (5000
; cycles: 7 * (3 * 236 + 4) - 1 in the loops, 17 in the calls and counting).
wait_1ms:
        movlw   7
        movwf   delay2
wait_outer:
        movlw   236
        movwf   delay1
wait_inner:
        decfsz  delay1, F
        bra     wait_inner
        decfsz  delay2, F
        bra     wait_outer
        nop
        nop
        return

; ---- The frames ------------------------------------------------------------
frames:
        #include "frames.inc"

        end
