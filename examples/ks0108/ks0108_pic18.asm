; ks0108_pic18.asm - shows one 128 x 64 picture on a KS0108 graphic LCD.
;
; Target : PIC18F452 (any PIC18 with two free 8-bit ports will do)
; Clock  : 20 MHz crystal (HS); the LCD timing below counts on 200 ns per
;          instruction, so a slower clock is safe, a faster one (HSPLL) is not.
; Build  : gpasm ks0108_pic18.asm        (gputils)
;
; The picture is the Db listing written by Lumetra ("lumetra-cli listing
; --db PICTURE -o picture.inc", or the editor's code view with Db chosen,
; saved as picture.inc), kept next to this file and included unchanged.
; On a PIC18 Db stores the 1024 bytes as they are, two to a program word,
; and TBLRD reads them back one by one.
;
; The module has two controllers ("crystals" in the listing), each driving
; one 64 x 64 half; chip 1 drives the left half. Each controller's memory is
; 8 pages of 64 columns; one byte is a column of 8 pixels, bit 0 at the top.
;
; The listing gives the picture a page of one controller (64 bytes) at a
; time. By default it is grouped by controller: 8 pages of chip 1, then 8
; pages of chip 2. A listing written with --no-group alternates instead:
; page 1 of chip 1, page 1 of chip 2, page 2 of chip 1, ... Define
; LISTING_NO_GROUP for such a listing (uncomment the line below, or build
; with "gpasm -D LISTING_NO_GROUP ks0108_pic18.asm").

;#define LISTING_NO_GROUP
;#define CS_ACTIVE_LOW          ; for modules whose chip selects are /CS1 /CS2

        processor 18f452
        #include <p18f452.inc>
        config  OSC = HS, PWRT = ON, BOR = OFF, WDT = OFF, LVP = OFF
        radix   dec
        errorlevel -302, -1301  ; notes on bank bits: all registers used here
                                ; are in the access bank

; ---- Wiring ----------------------------------------------------------------
; The LCD's data lines DB0..DB7 go to one whole port, its control lines to
; pins of another. The driver only writes: R/W stays low (tie R/W to ground
; if you need the pin), and it waits a fixed time instead of reading the busy
; flag. It writes the control port as a whole byte; pins 6 and 7 stay low.

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

; ---- Variables, in the access bank -----------------------------------------
        cblock  0x00
        chips                           ; control bits: chip select(s)
        run                             ; 0..15: which 64-byte run of the table
        count                           ; bytes left in this run
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

        movlw   upper picture           ; TBLPTR walks through the table
        movwf   TBLPTRU
        movlw   high picture
        movwf   TBLPTRH
        movlw   low picture
        movwf   TBLPTRL
        clrf    run
next_run:                               ; one page of one controller
#ifdef LISTING_NO_GROUP
        movlw   LEFT_CHIP               ; run = 2 * page + chip
        btfsc   run, 0
        movlw   RIGHT_CHIP
        movwf   chips
        rrncf   run, W
        andlw   7                       ; W = run / 2 = page
#else
        movlw   LEFT_CHIP               ; run = 8 * chip + page
        btfsc   run, 3
        movlw   RIGHT_CHIP
        movwf   chips
        movf    run, W
        andlw   7                       ; W = page
#endif
        iorlw   SET_PAGE
        rcall   lcd_command
        movlw   SET_COLUMN + 0          ; start at the left edge of the half
        rcall   lcd_command

        movlw   64
        movwf   count
next_byte:
        tblrd*+                         ; TABLAT = next byte of the listing
        movf    TABLAT, W
        rcall   lcd_data                ; the column moves on by itself
        decfsz  count, F
        bra     next_byte

        incf    run, F
        btfss   run, 4                  ; 16 runs of 64 bytes
        bra     next_run

done:
        bra     done                    ; the picture stays on the LCD

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

wait_1ms:                               ; 1 ms at 20 MHz
        movlw   7
        movwf   delay2
        clrf    delay1
wait_loop:
        decfsz  delay1, F               ; 256 * 3 cycles
        bra     wait_loop
        decfsz  delay2, F
        bra     wait_loop
        return

; ---- The picture -----------------------------------------------------------
picture:
        #include "picture.inc"
picture_end:

        if picture_end - picture != 1024
        error "picture.inc must be a Db listing of 1024 bytes"
        endif

        end
